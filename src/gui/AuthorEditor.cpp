#include "AuthorEditor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

TFenStaticTip::TFenStaticTip(QWidget *parent)
    : QLabel(parent)
{
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setContentsMargins(TextMargin, TextMargin, TextMargin, TextMargin);
    setForegroundRole(QPalette::ToolTipText);
}

void TFenStaticTip::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(palette().color(QPalette::ToolTipBase));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), ArcSize, ArcSize);
    }
    QLabel::paintEvent(event);
}

TfrmEditorBase::TfrmEditorBase(QWidget *parent)
    : QDialog(parent, Qt::Tool)
{
    auto *layout = new QVBoxLayout(this);
    auto *panel = new QFrame;
    panel->setFrameShape(QFrame::StyledPanel);
    FFields = new QVBoxLayout(panel);
    layout->addWidget(panel);
    FBottom = new QVBoxLayout;
    layout->addLayout(FBottom);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    FSave = new QPushButton(QStringLiteral("Save"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    buttons->addWidget(FSave);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(FSave, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmEditorAuthor::TfrmEditorAuthor(QWidget *parent)
    : TfrmEditorBase(parent)
{
    setObjectName(QStringLiteral("TfrmEditorAuthor"));
    setWindowTitle(QStringLiteral("Add|Edit Author"));
    auto *form = new QFormLayout;
    FFirst = new QLineEdit;
    FLast = new QLineEdit;
    form->addRow(QStringLiteral("First Name"), FFirst);
    form->addRow(QStringLiteral("Last Name"), FLast);
    Fields()->addLayout(form);
    auto *replace = new QPushButton(QStringLiteral("Replace"));
    replace->setToolTip(QStringLiteral("Replace First and Last names"));
    replace->setAutoDefault(false);
    connect(replace, &QPushButton::clicked, this, &TfrmEditorAuthor::Replace);
    Fields()->addWidget(replace, 0, Qt::AlignRight);
    FTip = new TFenStaticTip;
    Bottom()->addWidget(FTip);
    FOneMore = new QPushButton(QStringLiteral("One more"));
    FOneMore->setToolTip(QStringLiteral("Add current author to the list\nand add one more author"));
    FOneMore->setAutoDefault(false);
    Bottom()->addWidget(FOneMore, 0, Qt::AlignLeft);
    connect(FOneMore, &QPushButton::clicked, this, [this] { Finish(true); });
    disconnect(SaveButton(), nullptr, this, nullptr);
    connect(SaveButton(), &QPushButton::clicked, this, [this] { Finish(false); });
    resize(360, 240);
}

void TfrmEditorAuthor::Prepare(TModifyMode mode)
{
    FMode = mode;
    Continue = false;
    if (mode == TModifyMode::mmEdit) {
        FTip->setText(QStringLiteral("Press <Enter> to finish input and save data."));
    } else {
        FFirst->clear();
        FLast->clear();
        FTip->setText(QStringLiteral(
            "Press <Enter> to finish input and save data.\nPress <Ctrl+Enter> to save author and add another one."));
    }
    FOneMore->setVisible(mode == TModifyMode::mmNew);
    FFirst->setFocus();
}

int TfrmEditorAuthor::ShowMode(TModifyMode mode)
{
    Prepare(mode);
    return exec();
}

void TfrmEditorAuthor::Finish(bool more)
{
    Continue = more && FMode == TModifyMode::mmNew;
    accept();
}

void TfrmEditorAuthor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Finish(event->modifiers().testFlag(Qt::ControlModifier));
        return;
    }
    TfrmEditorBase::keyPressEvent(event);
}

void TfrmEditorAuthor::Replace()
{
    const QString first = FFirst->text();
    FFirst->setText(QString(FLast->text()).remove(u','));
    FLast->setText(QString(first).remove(u','));
}
