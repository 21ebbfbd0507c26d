// The search condition builders: each line a field's text, the conditions joined into one clause.
#include "FuzzSupport.h"
#include "library/SearchBuilders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    QString where;
    const QStringList lines = Fuzz::Text(data, size).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString condition = i % 3 == 2 ? MakeWordsCondition(lines[i]) : MakeCondition(lines[i], i % 3 == 1);
        where = AddCondition(QStringLiteral("p.Title"), condition, where);
    }
    return 0;
}
