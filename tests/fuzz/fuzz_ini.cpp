// The INI reader and writer on a file of any content: reads, a key rewritten in place, a section replaced.
#include "FuzzSupport.h"
#include "shell/IniFile.h"
#include "shell/VarnelError.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    static QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QString text = Fuzz::Text(data, size);
    const QString section = text.section(u'\n', 0, 0).left(40);
    const QString key = text.section(u'\n', 1, 1).left(40);
    try {
        TIniFile ini(fileName);
        ini.ReadSection(section);
        ini.Read(section, key);
        ini.WriteString(section, key, QStringLiteral("value"));
        ini.Read(section, key);
        ini.ReplaceSection(QStringLiteral("Fuzz"), {{QStringLiteral("a"), text.left(20).remove(u'\n').remove(u'\r')}});
        ini.DeleteKey(section, key);
    } catch (const EVarnelError &) { }
    return 0;
}
