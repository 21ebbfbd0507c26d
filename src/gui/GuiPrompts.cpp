#include "GuiPrompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

namespace {

QString Caption(const QString &caption)
{
    return caption.isEmpty() ? QStringLiteral("Varnel") : caption;
}

} // namespace

TGuiPrompts::TGuiPrompts(QObject *parent)
    : QObject(parent)
{ }

template <class TResult> TResult TGuiPrompts::OnMainThread(const std::function<TResult()> &step)
{
    if (QThread::currentThread() == thread())
        return step();
    TResult result {};
    QMetaObject::invokeMethod(
        this, [&] { result = step(); }, Qt::BlockingQueuedConnection);
    return result;
}

void TGuiPrompts::ShowMessage(const QString &text, TMessageKind kind, const QString &caption)
{
    OnMainThread<int>([&] {
        const QMessageBox::Icon icon = kind == TMessageKind::mkError ? QMessageBox::Critical
            : kind == TMessageKind::mkWarning                        ? QMessageBox::Warning
                                                                     : QMessageBox::Information;
        QMessageBox box(icon, Caption(caption), text, QMessageBox::Ok, FWindow);
        return box.exec();
    });
}

bool TGuiPrompts::Ask(const QString &text, const QString &caption, TMessageKind)
{
    return OnMainThread<bool>([&] {
        return QMessageBox::question(FWindow, Caption(caption), text, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    });
}

TPromptAnswer TGuiPrompts::AskYesNoCancel(const QString &text, const QString &caption)
{
    return OnMainThread<TPromptAnswer>([&] {
        switch (QMessageBox::question(
            FWindow, Caption(caption), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return TPromptAnswer::paYes;
        case QMessageBox::No:
            return TPromptAnswer::paNo;
        default:
            return TPromptAnswer::paCancel;
        }
    });
}

QString TGuiPrompts::InputText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    return OnMainThread<QString>([&] {
        bool ok = false;
        const QString text = QInputDialog::getText(FWindow, caption, prompt, QLineEdit::Normal, defaultText, &ok);
        return ok ? text : defaultText;
    });
}

QString TGuiPrompts::OpenFileName(const QString &caption, const QString &initialFolder, const QString &filter)
{
    return OnMainThread<QString>([&] { return QFileDialog::getOpenFileName(FWindow, caption, initialFolder, filter); });
}

QStringList TGuiPrompts::OpenFileNames(const QString &caption, const QString &initialFolder, const QString &filter)
{
    return OnMainThread<QStringList>(
        [&] { return QFileDialog::getOpenFileNames(FWindow, caption, initialFolder, filter); });
}

QString TGuiPrompts::SaveFileName(
    const QString &caption, const QString &initialFolder, const QString &fileName, const QString &filter)
{
    return OnMainThread<QString>(
        [&] { return QFileDialog::getSaveFileName(FWindow, caption, initialFolder + u'/' + fileName, filter); });
}

bool TGuiPrompts::OpenUrl(const QString &url)
{
    return OnMainThread<bool>([&] { return QDesktopServices::openUrl(QUrl(url)); });
}

QString TGuiPrompts::SelectFolder(const QString &title, const QString &initialFolder)
{
    return OnMainThread<QString>([&] { return QFileDialog::getExistingDirectory(FWindow, title, initialFolder); });
}
