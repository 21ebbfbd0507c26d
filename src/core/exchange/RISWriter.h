#pragma once

#include <QString>
#include <QStringList>

struct TPaperRecord;

// Appends the RIS lines of one paper to SL (which is not cleared): the type line and the lines of its type,
// then pages, year, abstract, address, DOI, keywords, date added and one AU line per author. Every line is
// written even when its value is empty; values are written as stored. NoDate leaves the AD value empty.
void PutToRIS(const TPaperRecord &Paper, bool NoDate, QStringList &SL);
