#include "PaperInfoPanel.h"

#include "views/PaperCells.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QMenu>

TPaperInfoPanel::TPaperInfoPanel(QWidget *parent)
    : QWidget(parent)
    , FAuthors(new QLabel(this))
    , FTitle(new QLabel(this))
    , FJournal(new QLabel(this))
    , FURL(new QLabel(this))
    , FAbstract(new QLabel(this))
    , FID(new QLabel(QStringLiteral("Ref00"), this))
{
    setMinimumHeight(150);
    QFont bold = FTitle->font();
    bold.setBold(true);
    FTitle->setFont(bold);
    FTitle->setWordWrap(true);
    FID->setFont(bold);
    FID->setAlignment(Qt::AlignRight | Qt::AlignTop);
    FURL->setTextFormat(Qt::RichText);
    FURL->setOpenExternalLinks(true);
    FAbstract->setWordWrap(true);
    FAbstract->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(5, 0, 5, 5);
    layout->addWidget(FAuthors, 0, 0);
    layout->addWidget(FID, 0, 1);
    layout->addWidget(FTitle, 1, 0, 1, 2);
    layout->addWidget(FJournal, 2, 0, 1, 2);
    layout->addWidget(FURL, 3, 0, 1, 2);
    layout->addWidget(FAbstract, 4, 0, 1, 2);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(0, 1);
    for (QLabel *label : {FAuthors, FTitle, FJournal, FURL, FAbstract, FID}) {
        if (label != FURL)
            label->setTextFormat(Qt::PlainText); // a title holding "<b>" is a title, not markup
        label->setTextInteractionFlags(label == FURL ? Qt::LinksAccessibleByMouse : Qt::TextSelectableByMouse);
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QLabel::customContextMenuRequested, this, [this, label](const QPoint &at) {
            QMenu menu;
            menu.addAction(QStringLiteral("Copy to Clipboard"), this, [this, label] { CopyLabelText(label); });
            menu.exec(label->mapToGlobal(at));
        });
    }
}

void TPaperInfoPanel::SetBookInfo(int, QChar AType, const QString &Authors, const QString &Title,
    const QString &Journal, const QString &Abbrv, const QString &Vol, const QString &Issue, const QString &Pages,
    const QString &Year, const QString &URL, const QString &Abs, const QString &)
{
    FTitle->setText(Title);
    FAuthors->setText(Authors);
    FJournal->setText(CitationLine(AType, Journal, Abbrv, Vol, Issue, Pages, Year));
    FUrlText = URL;
    FURL->setText(URL.isEmpty()
            ? QString()
            : QStringLiteral("<a href=\"%1\">%2</a>").arg(URL.toHtmlEscaped(), URL.toHtmlEscaped()));
    FAbstract->setText(Abs);
    FID->clear();
}

void TPaperInfoPanel::Clear()
{
    for (QLabel *label : {FAuthors, FTitle, FJournal, FURL, FAbstract, FID})
        label->clear();
    FUrlText.clear();
}

void TPaperInfoPanel::CopyLabelText(QLabel *label) const
{
    QApplication::clipboard()->setText(label == FURL ? FUrlText : label->text());
}
