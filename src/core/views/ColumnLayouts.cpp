#include "ColumnLayouts.h"

#include "shell/IniFile.h"
#include "shell/IniStringList.h"

namespace {

constexpr int FullOptions
    = coAllowClick | coDraggable | coEnabled | coParentColor | coResizable | coShowDropMark | coVisible; // 247
constexpr int FixedSizeOptions = FullOptions & ~coResizable; // 215
constexpr int MarkerOptions = coAllowClick | coEnabled | coParentColor | coShowDropMark | coVisible | coFixed; // 725

struct TBuiltIn
{
    int Tag;
    int Width;
};

} // namespace

const QString TColumns::JournalsSection = QStringLiteral("COLUMNS_JOURNALS");
const QString TColumns::SearchSection = QStringLiteral("COLUMNS_SEARCH");
const QString TColumns::GroupsSection = QStringLiteral("COLUMNS_GROUPS");

TColumnDesc GetColumnDefaults(int tag)
{
    struct TDefaults
    {
        const char *Caption;
        int Min, Max;
        Qt::Alignment Alignment;
        int Options;
    };
    static const TDefaults table[] = {
        {"", 50, 50, Qt::AlignHCenter, MarkerOptions}, // 90: the library-file marker
        {"ID", 40, 900, Qt::AlignRight, FullOptions}, // 91
        {"Authors", 30, 900, Qt::AlignLeft, FullOptions}, // 92
        {"Title", 30, 900, Qt::AlignLeft, FullOptions}, // 93
        {"Journal", 60, 900, Qt::AlignLeft, FullOptions}, // 94
        {"Volume", 70, 100, Qt::AlignHCenter, FullOptions}, // 95
        {"Issue", 40, 900, Qt::AlignHCenter, FullOptions}, // 96
        {"Pages", 30, 100, Qt::AlignHCenter, FullOptions}, // 97
        {"Year", 55, 55, Qt::AlignHCenter, FixedSizeOptions}, // 98
        {"No", 20, 900, Qt::AlignRight, FullOptions}, // 99
        {"Added", 90, 90, Qt::AlignHCenter, FixedSizeOptions}, // 100
    };
    TColumnDesc column;
    column.Tag = tag;
    if (tag < 90 || tag > 100)
        return column;
    const TDefaults &defaults = table[tag - 90];
    column.Caption = QString::fromLatin1(defaults.Caption);
    column.MinWidth = defaults.Min;
    column.MaxWidth = defaults.Max;
    column.Alignment = defaults.Alignment;
    column.Options = defaults.Options;
    return column;
}

TColumns::TColumns(const QString &fileName)
    : FIniFile(std::make_unique<TIniFile>(fileName))
{ }

TColumns::~TColumns() = default;

void TColumns::Add(int tag, int width, int position)
{
    TColumnDesc column = GetColumnDefaults(tag);
    column.Width = width;
    column.Position = position;
    FColumns.append(column);
}

void TColumns::LoadDefaults(const QString &section)
{
    FColumns.clear();
    QList<TBuiltIn> set;
    if (section == JournalsSection)
        set = {{90, 15}, {91, 40}, {92, 200}, {93, 200}, {95, 70}, {96, 80}, {97, 200}, {98, 200}, {100, 200}};
    else if (section == SearchSection)
        set = {
            {90, 15}, {91, 40}, {94, 150}, {92, 200}, {93, 200}, {95, 70}, {96, 80}, {97, 200}, {98, 200}, {100, 200}};
    else if (section == GroupsSection)
        set = {
            {90, 15}, {99, 35}, {94, 150}, {92, 200}, {93, 200}, {95, 70}, {96, 80}, {97, 200}, {98, 200}, {100, 200}};
    for (qsizetype i = 0; i < set.size(); ++i)
        Add(set[i].Tag, set[i].Width, int(i));
}

void TColumns::Load(const QString &section)
{
    FColumns.clear();
    const auto keys = FIniFile->ReadSection(section);
    if (keys.isEmpty()) {
        LoadDefaults(section);
        return;
    }
    // File order decides the collection order; the number in the key name is not used.
    for (const auto &[key, value] : keys) {
        if (!key.startsWith(QLatin1String("Column")))
            continue;
        TIniStringList items;
        items.SetDelimitedText(value);
        if (items.Items.size() != 3)
            continue;
        bool tagOk = false, widthOk = false, positionOk = false;
        const int tag = items.Items[0].toInt(&tagOk);
        const int width = items.Items[1].toInt(&widthOk);
        const int position = items.Items[2].toInt(&positionOk);
        if (tagOk && widthOk && positionOk)
            Add(tag, width, position);
    }
}

void TColumns::Save(const QString &section)
{
    QList<std::pair<QString, QString>> keys;
    for (qsizetype i = 0; i < FColumns.size(); ++i) {
        TIniStringList items;
        items.Items = {QString::number(FColumns[i].Tag), QString::number(FColumns[i].Width),
            QString::number(FColumns[i].Position)};
        keys.append({QStringLiteral("Column%1").arg(i), items.DelimitedText()});
    }
    FIniFile->ReplaceSection(section, keys);
}
