#include "InfoPopup.h"

#include "Commands.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace {

class TfrmInfoPopup final : public QWidget
{
public:
    TfrmInfoPopup()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    {
        setObjectName(QStringLiteral("TfrmInfoPopup"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFixedSize(294, 62);
        auto *layout = new QHBoxLayout(this);
        auto *icon = new QLabel;
        icon->setPixmap(TCommands::CommandIcon(QStringLiteral("dialog-information")).pixmap(32, 32));
        layout->addWidget(icon);
        Text = new QLabel;
        Text->setAlignment(Qt::AlignCenter);
        Text->setWordWrap(true);
        layout->addWidget(Text, 1);
        setAutoFillBackground(true);
    }

    QLabel *Text;
};

QPointer<TfrmInfoPopup> Popup;

QWidget *MainWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("TfrmMain") && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

void ShowInfoPopup(const QString &text)
{
    if (!Popup)
        Popup = new TfrmInfoPopup;
    Popup->Text->setText(text);
    const QWidget *owner = MainWindow();
    const QRect area = owner ? owner->frameGeometry()
                             : (QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry() : QRect());
    Popup->move(area.center() - QPoint(Popup->width() / 2, Popup->height() / 2));
    Popup->show();
    Popup->raise();
    Popup->repaint();
}

void SetInfoPopupText(const QString &text)
{
    if (!Popup)
        return;
    Popup->Text->setText(text);
    Popup->repaint();
}

void HideInfoPopup()
{
    delete Popup.data();
}

QString InfoPopupText()
{
    return Popup ? Popup->Text->text() : QString();
}

TCursorSaver::TCursorSaver()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TCursorSaver::~TCursorSaver()
{
    QApplication::restoreOverrideCursor();
}
