#pragma once

#include "records/LibraryRecords.h"

#include <QString>

#include <vector>

// Result of validating a template text.
enum class TErrorType { ErFine, ErTemplate, ErBlocks, ErElements };

// One element of a template text: its name without "%", and the 1-based positions of the "[" and "]" of the
// block around it (both 0 outside a block).
struct TElement
{
    QString name;
    int BegBlock = 0;
    int EndBlock = 0;
};

// The citation-style formatter: validates template texts and turns a paper into one numbered reference line.
// Not reentrant: every call rebuilds the element map, so each owner keeps its own instance.
class TTemplater
{
public:
    // The fourteen element names in the order they are substituted.
    static const QStringList &ElementNames();

    // Checks one template text and rebuilds the element map from it; stops at the first fault.
    TErrorType ValidateTemplate(const QString &Template);
    // Makes a style active when every one of its fields validates; otherwise ErTemplate and the previous style
    // stays. The style is not copied: it must outlive its use here, and later edits to it are seen.
    TErrorType SetTemplate(PTemplate Template);
    PTemplate Template() const { return FTemplate; }
    // Without numbering a line is the formatted reference alone, whatever the style's number format.
    void SetNumbered(bool numbered) { FNumbered = numbered; }
    const std::vector<TElement> &BlocksMap() const { return FBlocksMap; }

    // The reference line of one paper with the list number Number, read through the active style's number
    // format. Raises EVarnelError without an active style and for a number format that does not take exactly
    // the number (the caller shows the message; nothing is copied or inserted).
    QString ParseString(const TPaperRecord &Paper, int Number);

private:
    // The value of the element at that place of ElementNames().
    QString ElementValue(int element, const TPaperRecord &Paper) const;

    PTemplate FTemplate = nullptr;
    bool FNumbered = true;
    std::vector<TElement> FBlocksMap;
    QString FMapText; // the text FBlocksMap was built from by the last formatting
};
