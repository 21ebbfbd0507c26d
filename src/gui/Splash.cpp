#include "Splash.h"

#include "VarnelVersion.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmSplash::TfrmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(500, 333);
    setCursor(Qt::WaitCursor);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(38, 70, 120));
    background.setColorAt(1, QColor(20, 34, 60));
    painter.fillRect(rect(), background);
    painter.setPen(Qt::white);
    QFont title = font();
    title.setPointSize(28);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(rect().adjusted(0, 0, 0, -60), Qt::AlignCenter, QStringLiteral("Varnel"));
    QFont small = font();
    small.setPointSize(10);
    painter.setFont(small);
    painter.drawText(rect().adjusted(10, 10, -10, -10), Qt::AlignTop | Qt::AlignRight, QStringLiteral(VARNEL_VERSION));
    painter.drawText(
        rect().adjusted(10, 10, -10, -14), Qt::AlignBottom | Qt::AlignHCenter, QStringLiteral("Loading ..."));
}
