#include "StylesManager.h"

#include "TemplateComposer.h"
#include "library/DataModule.h"
#include "records/TypeCodes.h"
#include "shell/UserPrompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

// A style as the tree holds it: its record (parameters, ID, title) and whether it changed here.
struct TfrmTemplate::TStyle
{
    TTemplateRecord Record;
    bool Modified = false;
};

namespace {

enum TRole { FieldIdRole = Qt::UserRole, TypeRole, StyleRole };

} // namespace

TfrmTemplate::TfrmTemplate(TdmMain &dm, TUserPrompts &prompts, QWidget *parent)
    : QDialog(parent)
    , FDm(dm)
    , FPrompts(prompts)
{
    setObjectName(QStringLiteral("TfrmTemplate"));
    setWindowTitle(QStringLiteral("Styles manager"));
    auto *layout = new QVBoxLayout(this);
    FTree = new QTreeWidget;
    FTree->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Type")});
    FTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    FTree->header()->setStretchLastSection(false);
    connect(FTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (current)
            FLast = StyleOf(current);
    });
    connect(FTree, &QTreeWidget::itemDoubleClicked, this, &TfrmTemplate::ModifyTemplate);
    layout->addWidget(FTree);
    auto *row = new QHBoxLayout;
    for (const auto &[caption, action] :
        {std::pair<const char *, void (TfrmTemplate::*)()> {"Add new style", &TfrmTemplate::AddStyle},
            std::pair<const char *, void (TfrmTemplate::*)()> {"Add Field", &TfrmTemplate::AddField},
            std::pair<const char *, void (TfrmTemplate::*)()> {"Edit", &TfrmTemplate::ModifyTemplate},
            std::pair<const char *, void (TfrmTemplate::*)()> {"Delete", &TfrmTemplate::Delete}}) {
        auto *button = new QPushButton(QString::fromLatin1(caption));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        row->addWidget(button);
    }
    row->addStretch(1);
    layout->addLayout(row);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    connect(help, &QPushButton::clicked, this, [this] {
        if (FShowHelp)
            FShowHelp(303);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmTemplate::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmTemplate::reject);
    layout->addWidget(buttons);
    FComposer = new TfrmCreateMask(prompts, this);
    RunComposer = [](TfrmCreateMask &composer) { return composer.exec() == QDialog::Accepted; };
    resize(640, 440);
}

TfrmTemplate::~TfrmTemplate() = default;

void TfrmTemplate::SetShowHelp(std::function<void(int)> showHelp)
{
    FShowHelp = showHelp;
    FComposer->ShowHelp = std::move(showHelp);
}

TfrmTemplate::TStyle *TfrmTemplate::StyleOf(QTreeWidgetItem *item) const
{
    item = StyleItem(item);
    return item ? static_cast<TStyle *>(item->data(0, StyleRole).value<void *>()) : nullptr;
}

QTreeWidgetItem *TfrmTemplate::StyleItem(QTreeWidgetItem *item) const
{
    return item && item->parent() ? item->parent() : item;
}

QTreeWidgetItem *TfrmTemplate::AddFieldItem(QTreeWidgetItem *style, int id, QChar type, const QString &text)
{
    auto *field = new QTreeWidgetItem(style, {text, PaperTypeNames[std::size_t(PaperTypeIndex(type))]});
    field->setData(0, FieldIdRole, id);
    field->setData(0, TypeRole, QVariant(type));
    return field;
}

void TfrmTemplate::FillList(const TTemplates &templates, const QString &active)
{
    FTree->clear();
    FStyles.clear();
    FLast = nullptr;
    QTreeWidgetItem *chosen = nullptr;
    for (const auto &record : templates) {
        auto style = std::make_unique<TStyle>();
        style->Record = *record;
        auto *item = new QTreeWidgetItem(FTree, {record->Title, QString()});
        item->setData(0, StyleRole, QVariant::fromValue<void *>(style.get()));
        for (const TTemplField &field : record->Fields)
            AddFieldItem(item, field.ID, field.TType, field.Value);
        if (record->Title == active)
            chosen = item;
        FStyles.push_back(std::move(style));
    }
    if (chosen)
        FTree->setCurrentItem(chosen);
    else
        FTree->setCurrentItem(nullptr);
    FLast = chosen ? StyleOf(chosen) : nullptr;
}

QString TfrmTemplate::LastTemplateTitle() const
{
    return FLast ? FLast->Record.Title : QString();
}

void TfrmTemplate::AddStyle()
{
    const QString title = FPrompts.InputText(QStringLiteral("Varnel"), QStringLiteral("Title"), QString());
    if (title.isEmpty())
        return;
    auto style = std::make_unique<TStyle>();
    style->Record.Title = title;
    style->Record.AuthDelimeter = QStringLiteral(",");
    style->Record.NumFormat = QStringLiteral("[%d]");
    style->Record.EtAlLimit = 99;
    style->Modified = true;
    auto *item = new QTreeWidgetItem(FTree, {title, QString()});
    item->setData(0, StyleRole, QVariant::fromValue<void *>(style.get()));
    FStyles.push_back(std::move(style));
    FTree->clearSelection();
    FTree->setCurrentItem(item);
    item->setSelected(true);
}

void TfrmTemplate::AddField()
{
    QTreeWidgetItem *styleItem = StyleItem(FTree->currentItem());
    if (!styleItem)
        return;
    FComposer->SetTemplate(QString());
    FComposer->Types()->setCurrentIndex(0);
    if (!RunComposer(*FComposer))
        return;
    AddFieldItem(styleItem, 0, QChar(PaperTypeCodes[std::size_t(std::max(0, FComposer->Types()->currentIndex()))]),
        FComposer->Template());
    StyleOf(styleItem)->Modified = true;
}

void TfrmTemplate::ModifyTemplate()
{
    const QList<QTreeWidgetItem *> selected = FTree->selectedItems();
    QTreeWidgetItem *item = selected.isEmpty() ? FTree->currentItem() : selected.first();
    if (!item)
        return;
    TStyle *style = StyleOf(item);
    if (item->parent()) {
        FComposer->SetTemplate(item->text(0));
        FComposer->Types()->setCurrentIndex(PaperTypeIndex(item->data(0, TypeRole).toChar()));
        FComposer->SetAuthDelimeter(style->Record.AuthDelimeter);
        FComposer->SetEtAlLimit(style->Record.EtAlLimit);
        FComposer->SetNumFormat(style->Record.NumFormat);
        if (!RunComposer(*FComposer))
            return;
        item->setText(0, FComposer->Template());
        const QChar type = PaperTypeCodes[std::size_t(std::max(0, FComposer->Types()->currentIndex()))];
        item->setData(0, TypeRole, QVariant(type));
        item->setText(1, PaperTypeNames[std::size_t(PaperTypeIndex(type))]);
        style->Record.AuthDelimeter = FComposer->AuthDelimeter().left(1);
        style->Record.EtAlLimit = FComposer->EtAlLimit();
        style->Record.NumFormat = FComposer->NumFormat();
    } else {
        const QString title
            = FPrompts.InputText(QStringLiteral("Varnel"), QStringLiteral("Title"), style->Record.Title);
        if (title.isEmpty())
            return;
        style->Record.Title = title;
        item->setText(0, title);
    }
    style->Modified = true;
}

void TfrmTemplate::Delete()
{
    QTreeWidgetItem *item = FTree->currentItem();
    if (!item)
        return;
    const bool field = item->parent() != nullptr;
    if (!FPrompts.Ask(field ? QStringLiteral("Delete selected field?") : QStringLiteral("Delete selected template?")))
        return;
    if (field)
        FDm.DeleteTemplField(item->data(0, FieldIdRole).toInt());
    else
        FDm.DeleteTemplate(StyleOf(item)->Record.ID);
    delete item;
    QTreeWidgetItem *first = FTree->topLevelItem(0);
    FTree->setCurrentItem(first);
    FLast = first ? StyleOf(first) : nullptr;
}

void TfrmTemplate::accept()
{
    if (!FLast) {
        FPrompts.ShowMessage(QStringLiteral("Please select template!"), TMessageKind::mkWarning);
        return;
    }
    TTemplates changed;
    for (int i = 0; i < FTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = FTree->topLevelItem(i);
        const TStyle *style = StyleOf(item);
        if (!style->Modified)
            continue;
        auto record = std::make_unique<TTemplateRecord>(style->Record);
        record->Title = item->text(0);
        record->Fields.clear();
        for (int f = 0; f < item->childCount(); ++f) {
            const QTreeWidgetItem *field = item->child(f);
            record->Fields.append(
                {field->data(0, FieldIdRole).toInt(), field->data(0, TypeRole).toChar(), field->text(0)});
        }
        changed.push_back(std::move(record));
    }
    if (!changed.empty())
        FDm.SetTemplates(changed);
    QDialog::accept();
}
