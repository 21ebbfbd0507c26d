#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class TIniFile;

enum class TOptionType { otInteger, otBoolean, otString };

// One setting of an option group: its INI key, its type and its default (an invalid default means 0, False or "").
struct TOptionProperty
{
    QString Name;
    TOptionType Type;
    QVariant Default;
};

// An option group: one INI section whose keys are read from and written to the file on every access, with no
// cache. Properties are addressed by their index in the group's declaration order.
class TBaseOptions
{
public:
    TBaseOptions(TIniFile &iniFile, QString section, QList<TOptionProperty> properties, QString programFolder);
    virtual ~TBaseOptions() = default;
    Q_DISABLE_COPY_MOVE(TBaseOptions)

    const QString &Section() const { return FSection; }
    const QList<TOptionProperty> &Properties() const { return FProperties; }

    virtual bool GetBoolean(int index) const;
    virtual int GetInteger(int index) const;
    virtual QString GetString(int index) const; // with %PATH% substitution
    virtual void SetBoolean(int index, bool value);
    virtual void SetInteger(int index, int value);
    virtual void SetString(int index, const QString &value);

protected:
    // The stored text without %PATH% substitution, for values that are not paths.
    QString GetRawString(int index) const;

private:
    const TOptionProperty &Property(int index) const;

    TIniFile &FIni; // shared, owned by TConfig
    QString FSection;
    QList<TOptionProperty> FProperties;
    QString FProgramFolder;
};

// Replaces every "%PATH%" (any letter case) by the program folder, then folds the doubled delimiters the join
// leaves; a value without "%PATH%" is returned untouched.
QString SubstitutePathMacro(const QString &value, const QString &programFolder);

// Decimal, or hexadecimal after "0x" or "$", with an optional sign; nothing when the text is not such a number.
std::optional<int> ParseIniInteger(const QString &text);

class TProxyOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TProxyOptions";
    TProxyOptions(TIniFile &iniFile, const QString &programFolder);

    QString Proxy() const { return GetString(0); }
    void SetProxy(const QString &value) { SetString(0, value); }
    int Port() const { return GetInteger(1); }
    void SetPort(int value) { SetInteger(1, value); }
    QString User() const { return GetString(2); }
    void SetUser(const QString &value) { SetString(2, value); }
    // Stored scrambled; read and written in clear.
    QString Pass() const;
    void SetPass(const QString &value);
    bool UseIESettings() const { return GetBoolean(4); }
    void SetUseIESettings(bool value) { SetBoolean(4, value); }
    // Milliseconds a request may wait for the server to connect, and for the next data once connected.
    int TimeOut() const { return GetInteger(5); }
    void SetTimeOut(int value) { SetInteger(5, value); }
    int ReadTimeOut() const { return GetInteger(6); }
    void SetReadTimeOut(int value) { SetInteger(6, value); }
};

class TLastOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TLastOptions";
    TLastOptions(TIniFile &iniFile, const QString &programFolder);

    int LastJournal() const { return GetInteger(0); }
    void SetLastJournal(int value) { SetInteger(0, value); }
    int LastPaper() const { return GetInteger(1); }
    void SetLastPaper(int value) { SetInteger(1, value); }
    QString LastTemplateTitle() const { return GetString(2); }
    void SetLastTemplateTitle(const QString &value) { SetString(2, value); }
    int ActivePage() const { return GetInteger(3); }
    void SetActivePage(int value) { SetInteger(3, value); }
    int LastGroup() const { return GetInteger(4); }
    void SetLastGroup(int value) { SetInteger(4, value); }
    int LastGroupPaper() const { return GetInteger(5); }
    void SetLastGroupPaper(int value) { SetInteger(5, value); }
    int JInfoIndx() const { return GetInteger(6); }
    void SetJInfoIndx(int value) { SetInteger(6, value); }
    int SInfoIndx() const { return GetInteger(7); }
    void SetSInfoIndx(int value) { SetInteger(7, value); }
    int GInfoIndx() const { return GetInteger(8); }
    void SetGInfoIndx(int value) { SetInteger(8, value); }
};

class TOtherOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TOtherOptions";
    TOtherOptions(TIniFile &iniFile, const QString &programFolder);

    bool CheckForUpdates() const { return GetBoolean(0); }
    void SetCheckForUpdates(bool value) { SetBoolean(0, value); }
    QString UpdateInfoURL() const { return GetString(1); }
    void SetUpdateInfoURL(const QString &value) { SetString(1, value); }
    bool FastWordInsertion() const { return GetBoolean(2); }
    void SetFastWordInsertion(bool value) { SetBoolean(2, value); }
    // How the word-processor link reaches a running LibreOffice Writer: its "--accept" connection string.
    QString WriterConnection() const { return GetString(3); }
    void SetWriterConnection(const QString &value) { SetString(3, value); }
};

class TPathOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TPathOptions";
    TPathOptions(TIniFile &iniFile, const QString &programFolder);

    // Read with a trailing delimiter, so an empty value reads as "/": callers treat that as "not set"
    // (TConfig::LibraryFolder does).
    QString LibraryPath() const;
    void SetLibraryPath(const QString &value) { SetString(0, value); }
    QString LastAddPaperFolder() const { return GetString(1); }
    void SetLastAddPaperFolder(const QString &value) { SetString(1, value); }
    QString LastOpenRISFolder() const { return GetString(2); }
    void SetLastOpenRISFolder(const QString &value) { SetString(2, value); }
    QString LastSaveRISFolder() const { return GetString(3); }
    void SetLastSaveRISFolder(const QString &value) { SetString(3, value); }
    QString LastSavePDFFolder() const { return GetString(4); }
    void SetLastSavePDFFolder(const QString &value) { SetString(4, value); }
    QString LastSaveAllFolder() const { return GetString(5); }
    void SetLastSaveAllFolder(const QString &value) { SetString(5, value); }
    QString LastBackupFolder() const { return GetString(6); }
    void SetLastBackupFolder(const QString &value) { SetString(6, value); }
    QString DBFilePath() const { return GetString(7); }
    void SetDBFilePath(const QString &value) { SetString(7, value); }
};

class TViewerOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TViewerOptions";
    TViewerOptions(TIniFile &iniFile, const QString &programFolder);

    // Empty by default: the PDF viewer is built into the program.
    QString ExeName() const { return GetString(0); }
    void SetExeName(const QString &value) { SetString(0, value); }
    QString Path() const { return GetString(1); }
    void SetPath(const QString &value) { SetString(1, value); }
    QString Params() const { return GetString(2); }
    void SetParams(const QString &value) { SetString(2, value); }
};

class TWindowOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TWindowOptions";
    TWindowOptions(TIniFile &iniFile, const QString &programFolder);

    int State() const { return GetInteger(0); }
    void SetState(int value) { SetInteger(0, value); }
    int FormTop() const { return GetInteger(1); }
    void SetFormTop(int value) { SetInteger(1, value); }
    int FormLeft() const { return GetInteger(2); }
    void SetFormLeft(int value) { SetInteger(2, value); }
    int FormWidth() const { return GetInteger(3); }
    void SetFormWidth(int value) { SetInteger(3, value); }
    int FormHeight() const { return GetInteger(4); }
    void SetFormHeight(int value) { SetInteger(4, value); }
    int SplitterVJ() const { return GetInteger(5); }
    void SetSplitterVJ(int value) { SetInteger(5, value); }
    int SplitterJ() const { return GetInteger(6); }
    void SetSplitterJ(int value) { SetInteger(6, value); }
    int SplitterS() const { return GetInteger(7); }
    void SetSplitterS(int value) { SetInteger(7, value); }
    int SplitterVG() const { return GetInteger(8); }
    void SetSplitterVG(int value) { SetInteger(8, value); }
    int SplitterG() const { return GetInteger(9); }
    void SetSplitterG(int value) { SetInteger(9, value); }
    int SplitterJH() const { return GetInteger(10); }
    void SetSplitterJH(int value) { SetInteger(10, value); }
    int SplitterSH() const { return GetInteger(11); }
    void SetSplitterSH(int value) { SetInteger(11, value); }
    int SplitterGH() const { return GetInteger(12); }
    void SetSplitterGH(int value) { SetInteger(12, value); }
    bool WideModeJ() const { return GetBoolean(13); }
    void SetWideModeJ(bool value) { SetBoolean(13, value); }
    bool WideModeS() const { return GetBoolean(14); }
    void SetWideModeS(bool value) { SetBoolean(14, value); }
    bool WideModeG() const { return GetBoolean(15); }
    void SetWideModeG(bool value) { SetBoolean(15, value); }
};
