#pragma once

#include <QDateTime>
#include <QHash>
#include <QStringList>

#include <functional>

class TdmMain;
class TUserPrompts;
struct TPaperRecord;

// Turns RIS ("TY  - JOUR") and tagged-text ("%0 Journal Article") records into papers of the library: the
// container is found by title or created, the paper stored through the data module. A record that cannot be
// read is reported with the record's lines and skipped; the next one is read.
class TRISImporter
{
public:
    struct TOutcome
    {
        int Records = 0; // records found in the input
        int Stored = 0;
        int Failed = 0;
    };

    TRISImporter(TdmMain &DataModule, TUserPrompts &prompts);

    // Imports every record of Input in one transaction, a savepoint per record. JID and PID receive the
    // container and paper IDs of the last record that got that far (unchanged when none did). IgnoreDate: a
    // record without a date added gets none, rather than today.
    TOutcome Parse(const QStringList &Input, bool IgnoreDate, int &JID, int &PID);
    TOutcome Parse(const QStringList &Input, bool IgnoreDate);

    // The clock that dates records without a date added; tests set a fixed one.
    void SetClock(std::function<QDateTime()> clock) { FClock = std::move(clock); }

    // The value of the earliest line of the current record that carries one of tags (see the .cpp).
    QString GetTagValue(const QStringList &tags) const;

private:
    void ParseRecord(bool IgnoreDate, int &JID, int &PID);
    void ReadAuthors(TPaperRecord &paper) const;

    TdmMain &DM;
    TUserPrompts &FPrompts;
    std::function<QDateTime()> FClock;
    QStringList SL; // the lines of the record being read
    QHash<QString, int> FJournalIds; // containers already found or stored during this input, by exact title
};
