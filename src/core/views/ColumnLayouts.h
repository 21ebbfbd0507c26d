#pragma once

#include <QList>
#include <QString>
#include <Qt>

#include <memory>

class TIniFile;

// Column behaviour flags, as bits: AllowClick 0, Draggable 1, Enabled 2, ParentBidiMode 3, ParentColor 4,
// Resizable 5, ShowDropMark 6, Visible 7, AutoSpring 8, Fixed 9.
enum TColumnOption : int {
    coAllowClick = 1 << 0,
    coDraggable = 1 << 1,
    coEnabled = 1 << 2,
    coParentColor = 1 << 4,
    coResizable = 1 << 5,
    coShowDropMark = 1 << 6,
    coVisible = 1 << 7,
    coFixed = 1 << 9,
};

// One column of a paper list: everything but its width and position follows from its tag (90 to 100).
struct TColumnDesc
{
    QString Caption;
    int Tag = 0;
    int Width = 0;
    int MaxWidth = 0;
    int MinWidth = 0;
    Qt::Alignment Alignment = Qt::AlignLeft;
    int Options = 0;
    int Position = 0;

    // The width kept within the column's limits.
    int ClampedWidth() const { return std::max(MinWidth, std::min(Width, MaxWidth)); }
};

// The caption, limits, alignment and options of a tag; any other tag gets none (such a column is not visible).
TColumnDesc GetColumnDefaults(int tag);

// The column set of one paper list, read from and written to one section of the columns file
// ("COLUMNS_JOURNALS", "COLUMNS_SEARCH", "COLUMNS_GROUPS"): keys "Column0", "Column1"... holding
// "tag;width;position". A section without keys gives the list's built-in set.
class TColumns
{
public:
    explicit TColumns(const QString &fileName);
    ~TColumns();

    void Add(int tag, int width, int position);
    void Append(const TColumnDesc &column) { FColumns.append(column); }
    void Clear() { FColumns.clear(); }
    int Count() const { return int(FColumns.size()); }
    const TColumnDesc &GetColumn(int index) const { return FColumns[index]; }
    void SetColumn(int index, const TColumnDesc &column) { FColumns[index] = column; }

    void Load(const QString &section);
    void Save(const QString &section);
    void LoadDefaults(const QString &section);

    static const QString JournalsSection;
    static const QString SearchSection;
    static const QString GroupsSection;

private:
    std::unique_ptr<TIniFile> FIniFile;
    QList<TColumnDesc> FColumns;
};
