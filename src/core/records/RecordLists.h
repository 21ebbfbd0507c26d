#pragma once

#include "LibraryRecords.h"

// Release every record of a list with everything it owns, then empty the list. Null entries are skipped by
// construction; a paper's journal record lives on while a copy of the paper still shares it.
inline void FreePapers(TPapers &list) { list.clear(); }
inline void FreeJournals(TJournals &list) { list.clear(); }
inline void FreeGroups(TGroups &list) { list.clear(); }
inline void FreeTemplates(TTemplates &list) { list.clear(); }
