#pragma once

#include "records/LibraryRecords.h"

// An author record from two UTF-8 literals.
inline TAuthorRecord Author(const char *first, const char *last, int id = 0)
{
    return {id, QString::fromUtf8(first), QString::fromUtf8(last)};
}
