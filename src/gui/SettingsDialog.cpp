#include "SettingsDialog.h"

#include "shell/Config.h"
#include "shell/Options.h"
#include "shell/UserPrompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

TVarnelSelectorPanel::TVarnelSelectorPanel(const QString &caption, TUserPrompts &prompts, QWidget *parent)
    : QWidget(parent)
    , FPrompts(prompts)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption));
    auto *row = new QHBoxLayout;
    FEdit = new QLineEdit;
    row->addWidget(FEdit, 1);
    auto *browse = new QToolButton;
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, [this] { Browse(); });
    row->addWidget(browse);
    layout->addLayout(row);
}

QString TVarnelFolderSelector::Path() const
{
    return Edit()->text();
}

void TVarnelFolderSelector::SetPath(const QString &path)
{
    Edit()->setText(path);
}

void TVarnelFolderSelector::Browse()
{
    const QString folder = FPrompts.SelectFolder(QStringLiteral("Select Folder"), Path());
    if (!folder.isEmpty())
        SetPath(folder);
}

QString TVarnelFileOpen::FileName() const
{
    return Edit()->text();
}

void TVarnelFileOpen::SetFileName(const QString &fileName)
{
    Edit()->setText(fileName);
}

void TVarnelFileOpen::Browse()
{
    const QString file = FPrompts.OpenFileName(QStringLiteral("Open"), FileName(), Mask);
    if (!file.isEmpty())
        SetFileName(file);
}

namespace {

struct TRange
{
    int Min, Max;
};

QLineEdit *NumberField(const char *name, TRange range, QObject *filter)
{
    auto *field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setAlignment(Qt::AlignRight);
    field->setProperty("min", range.Min);
    field->setProperty("max", range.Max);
    field->installEventFilter(filter);
    return field;
}

} // namespace

TfrmSettings::TfrmSettings(TConfig &config, TUserPrompts &prompts, QWidget *parent)
    : QDialog(parent)
    , FConfig(config)
    , FPrompts(prompts)
{
    setObjectName(QStringLiteral("TfrmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    auto *layout = new QVBoxLayout(this);
    auto *body = new QHBoxLayout;
    FSections = new QListWidget;
    FSections->addItems({QStringLiteral("Paths and Files"), QStringLiteral("Connection"), QStringLiteral("Behavior")});
    FSections->setMaximumWidth(150);
    body->addWidget(FSections);
    FPages = new QStackedWidget;
    body->addWidget(FPages, 1);
    layout->addLayout(body, 1);
    connect(FSections, &QListWidget::currentRowChanged, FPages, &QStackedWidget::setCurrentIndex);

    // Paths and Files
    auto *paths = new QWidget;
    auto *pathsLayout = new QVBoxLayout(paths);
    FCollectionRoot = new TVarnelFolderSelector(QStringLiteral("Collection Root Folder"), prompts);
    FViewerPath = new TVarnelFileOpen(QStringLiteral("Embedded PDF Viewer"), prompts);
    FViewerPath->Mask = QStringLiteral("Programs (*)");
    FDBFile = new TVarnelFileOpen(QStringLiteral("Database File (empty by default)"), prompts);
    FDBFile->Mask = QStringLiteral("Varnel Database file (*.gdb)");
    auto *params = new QGroupBox(QStringLiteral("Embedded Viewer Params"));
    auto *paramsLayout = new QFormLayout(params);
    FPreParams = new QLineEdit;
    FPreParams->setObjectName(QStringLiteral("PreParams"));
    paramsLayout->addRow(QStringLiteral("Pre-params"), FPreParams);
    pathsLayout->addWidget(FCollectionRoot);
    pathsLayout->addWidget(FViewerPath);
    pathsLayout->addWidget(params);
    pathsLayout->addWidget(FDBFile);
    pathsLayout->addStretch(1);
    FPages->addWidget(paths);

    // Connection
    auto *connection = new QWidget;
    auto *connectionLayout = new QFormLayout(connection);
    connectionLayout->addRow(new QLabel(QStringLiteral("<b>Proxy settings</b>")));
    FUseIE = new QCheckBox(QStringLiteral("use Internet Explorer settings"));
    connectionLayout->addRow(FUseIE);
    FProxyServer = new QLineEdit;
    FProxyServer->setObjectName(QStringLiteral("edProxyServer"));
    FProxyPort = NumberField("edProxyPort", {0, 65535}, this);
    FProxyPort->setMaxLength(5);
    FProxyUser = new QLineEdit;
    FProxyUser->setObjectName(QStringLiteral("edProxyUsername"));
    FProxyPassword = new QLineEdit;
    FProxyPassword->setObjectName(QStringLiteral("edProxyPassword"));
    FProxyPassword->setEchoMode(QLineEdit::Password);
    connectionLayout->addRow(QStringLiteral("Server:"), FProxyServer);
    connectionLayout->addRow(QStringLiteral("Port:"), FProxyPort);
    connectionLayout->addRow(QStringLiteral("User:"), FProxyUser);
    connectionLayout->addRow(QStringLiteral("Password:"), FProxyPassword);
    connect(FUseIE, &QCheckBox::toggled, this, [this](bool checked) {
        for (QLineEdit *field : {FProxyServer, FProxyPort, FProxyUser, FProxyPassword})
            field->setEnabled(!checked);
    });
    connectionLayout->addRow(new QLabel(QStringLiteral("<b>Connection settings</b>")));
    FTimeOut = NumberField("edTimeOut", {1000, 100000}, this);
    FReadTimeOut = NumberField("edReadTimeOut", {1000, 100000}, this);
    connectionLayout->addRow(QStringLiteral("Connection time-out (ms):"), FTimeOut);
    connectionLayout->addRow(QStringLiteral("Read time-out (ms):"), FReadTimeOut);
    FPages->addWidget(connection);

    // Behavior
    auto *behavior = new QWidget;
    auto *behaviorLayout = new QVBoxLayout(behavior);
    behaviorLayout->addWidget(new QLabel(QStringLiteral("<b>Behavior</b>")));
    FCheckForUpdates = new QCheckBox(QStringLiteral("Automatically check for updates"));
    behaviorLayout->addWidget(FCheckForUpdates);
    behaviorLayout->addWidget(new QLabel(QStringLiteral("LibreOffice Writer connection (soffice --accept):")));
    FWriterConnection = new QLineEdit;
    FWriterConnection->setObjectName(QStringLiteral("edWriterConnection"));
    behaviorLayout->addWidget(FWriterConnection);
    behaviorLayout->addStretch(1);
    FPages->addWidget(behavior);

    auto *buttons = new QDialogButtonBox;
    QPushButton *save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    save->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    connect(save, &QPushButton::clicked, this, [this] {
        SaveSettings();
        accept();
    });
    disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (ShowHelp)
            ShowHelp(HelpContext());
    });
    layout->addWidget(buttons);
    FSections->setCurrentRow(0);
    resize(620, 420);
}

QLineEdit *TfrmSettings::Field(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

void TfrmSettings::showEvent(QShowEvent *event)
{
    LoadSetting();
    QDialog::showEvent(event);
}

void TfrmSettings::LoadSetting()
{
    const TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    const TProxyOptions &proxy = FConfig.GetOptions<TProxyOptions>();
    const TViewerOptions &viewer = FConfig.GetOptions<TViewerOptions>();
    FCollectionRoot->SetPath(paths.LibraryPath());
    FDBFile->SetFileName(paths.DBFilePath());
    FProxyServer->setText(proxy.Proxy());
    FProxyPort->setText(QString::number(proxy.Port()));
    FProxyUser->setText(proxy.User());
    FProxyPassword->setText(proxy.Pass());
    FUseIE->setChecked(proxy.UseIESettings());
    Q_EMIT FUseIE->toggled(FUseIE->isChecked());
    FTimeOut->setText(QString::number(proxy.TimeOut()));
    FReadTimeOut->setText(QString::number(proxy.ReadTimeOut()));
    FViewerPath->SetFileName(viewer.Path() + viewer.ExeName());
    FPreParams->setText(viewer.Params());
    FCheckForUpdates->setChecked(FConfig.GetOptions<TOtherOptions>().CheckForUpdates());
    FWriterConnection->setText(FConfig.GetOptions<TOtherOptions>().WriterConnection());
}

void TfrmSettings::SaveSettings()
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    TProxyOptions &proxy = FConfig.GetOptions<TProxyOptions>();
    TViewerOptions &viewer = FConfig.GetOptions<TViewerOptions>();
    paths.SetLibraryPath(FCollectionRoot->Path());
    if (FDBFile->FileName() != paths.DBFilePath()) {
        paths.SetDBFilePath(FDBFile->FileName());
        FPrompts.ShowMessage(
            QStringLiteral("You changed path to DB File. Please, restart the progtam to changes take effect"));
    }
    // The number fields are clamped before they are read, so an emptied one is stored as its range's minimum
    // rather than failing half-way through the save.
    for (QLineEdit *field : {FProxyPort, FTimeOut, FReadTimeOut})
        CheckNumValue(field);
    proxy.SetProxy(FProxyServer->text());
    proxy.SetPort(FProxyPort->text().toInt());
    proxy.SetUser(FProxyUser->text());
    proxy.SetPass(FProxyPassword->text());
    proxy.SetUseIESettings(FUseIE->isChecked());
    proxy.SetTimeOut(FTimeOut->text().toInt());
    proxy.SetReadTimeOut(FReadTimeOut->text().toInt());
    const QFileInfo program(FViewerPath->FileName());
    viewer.SetExeName(program.fileName());
    viewer.SetPath(FViewerPath->FileName().isEmpty() ? QString() : program.path() + u'/');
    viewer.SetParams(FPreParams->text());
    FConfig.GetOptions<TOtherOptions>().SetCheckForUpdates(FCheckForUpdates->isChecked());
    FConfig.GetOptions<TOtherOptions>().SetWriterConnection(FWriterConnection->text().trimmed());
}

void TfrmSettings::CheckNumValue(QLineEdit *field)
{
    const int min = field->property("min").toInt();
    const int max = field->property("max").toInt();
    QString digits;
    for (const QChar c : field->text())
        if (c.isDigit())
            digits += c;
    bool ok = false;
    const qint64 value = digits.left(12).toLongLong(&ok);
    const qint64 number = ok ? value : 0;
    if (number < min)
        field->setText(QString::number(min));
    else if (number > max)
        field->setText(QString::number(max));
    else
        field->setText(QString::number(number));
}

int TfrmSettings::HelpContext() const
{
    switch (FPages->currentIndex()) {
    case 0:
        return 143;
    case 1:
        return 133;
    default:
        return 144;
    }
}

void TfrmSettings::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && ShowHelp) {
        ShowHelp(HelpContext());
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        if (auto *field = qobject_cast<QLineEdit *>(watched))
            CheckNumValue(field);
    return QDialog::eventFilter(watched, event);
}
