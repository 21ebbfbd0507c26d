#include "NewVersionInfo.h"

#include "web/VersionChecker.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmNewVersionInfo::TfrmNewVersionInfo(
    const TVersionInfo &info, const std::function<void(const QString &)> &openUrl, QWidget *parent)
    : QDialog(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Varnel: New version"));
    auto *layout = new QVBoxLayout(this);
    auto *versionLine = new QHBoxLayout;
    versionLine->addWidget(new QLabel(QStringLiteral("New version of Varnel is availible:")));
    FVersion = new QLabel(info.Version);
    QFont bold = FVersion->font();
    bold.setBold(true);
    FVersion->setFont(bold);
    versionLine->addWidget(FVersion);
    versionLine->addStretch(1);
    layout->addLayout(versionLine);
    auto *changesCaption = new QLabel(QStringLiteral("Change list:"));
    changesCaption->setFont(bold);
    layout->addWidget(changesCaption);
    FChanges = new QLabel(info.Changes);
    FChanges->setWordWrap(true);
    FChanges->setMinimumSize(329, 59);
    FChanges->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(FChanges);
    auto *downloadCaption
        = new QLabel(QStringLiteral("You can download the new version of Varnel by using direct link below:"));
    downloadCaption->setWordWrap(true);
    layout->addWidget(downloadCaption);
    // The address is shown and opened as the file gives it.
    FUrl = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(info.URL.toHtmlEscaped(), info.URL.toHtmlEscaped()));
    FUrl->setAlignment(Qt::AlignCenter);
    FUrl->setTextFormat(Qt::RichText);
    connect(FUrl, &QLabel::linkActivated, this, [openUrl, url = info.URL] { openUrl(url); });
    layout->addWidget(FUrl);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
