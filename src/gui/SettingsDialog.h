#pragma once

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QStackedWidget;
class TConfig;
class TUserPrompts;

// A caption over an edit field with a browse button at its end.
class TVarnelSelectorPanel : public QWidget
{
    Q_OBJECT

public:
    TVarnelSelectorPanel(const QString &caption, TUserPrompts &prompts, QWidget *parent = nullptr);
    QLineEdit *Edit() const { return FEdit; }
    // The browse button.
    virtual void Browse() = 0;

protected:
    TUserPrompts &FPrompts;

private:
    QLineEdit *FEdit;
};

// A folder: the browse button opens the folder browser titled "Select Folder" at the folder shown.
class TVarnelFolderSelector final : public TVarnelSelectorPanel
{
    Q_OBJECT

public:
    using TVarnelSelectorPanel::TVarnelSelectorPanel;
    QString Path() const;
    void SetPath(const QString &path);
    void Browse() override;
};

// A file: the browse button opens an open-file dialog with the mask, at the file shown.
class TVarnelFileOpen final : public TVarnelSelectorPanel
{
    Q_OBJECT

public:
    using TVarnelSelectorPanel::TVarnelSelectorPanel;
    QString FileName() const;
    void SetFileName(const QString &fileName);
    QString Mask;
    void Browse() override;
};

// The settings dialog: paths and files, the connection (proxy and time-outs) and behaviour, read from the
// settings when shown and written when saved.
class TfrmSettings final : public QDialog
{
    Q_OBJECT

public:
    TfrmSettings(TConfig &config, TUserPrompts &prompts, QWidget *parent = nullptr);

    void LoadSetting();
    void SaveSettings();
    // Digits only, within the field's range: out of range becomes the nearer end.
    void CheckNumValue(QLineEdit *field);
    // The help topic of the page shown.
    int HelpContext() const;
    // Opens the help pages at a topic; the window gives it its own.
    std::function<void(int)> ShowHelp;

    QListWidget *Sections() const { return FSections; }
    TVarnelFolderSelector *CollectionRoot() const { return FCollectionRoot; }
    TVarnelFileOpen *ViewerPath() const { return FViewerPath; }
    TVarnelFileOpen *DBFile() const { return FDBFile; }
    QLineEdit *Field(const QString &name) const;
    QCheckBox *UseIESettings() const { return FUseIE; }
    QCheckBox *CheckForUpdates() const { return FCheckForUpdates; }
    QLineEdit *WriterConnection() const { return FWriterConnection; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TConfig &FConfig;
    TUserPrompts &FPrompts;
    QListWidget *FSections;
    QStackedWidget *FPages;
    TVarnelFolderSelector *FCollectionRoot;
    TVarnelFileOpen *FViewerPath;
    TVarnelFileOpen *FDBFile;
    QLineEdit *FPreParams;
    QCheckBox *FUseIE;
    QLineEdit *FProxyServer;
    QLineEdit *FProxyPort;
    QLineEdit *FProxyUser;
    QLineEdit *FProxyPassword;
    QLineEdit *FTimeOut;
    QLineEdit *FReadTimeOut;
    QCheckBox *FCheckForUpdates;
    QLineEdit *FWriterConnection;
};
