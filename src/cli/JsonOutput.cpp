#include "JsonOutput.h"

namespace {

QString CodeText(QChar code)
{
    return code.isNull() ? QString() : QString(code);
}

} // namespace

QJsonObject JournalJson(const TJournalRecord &journal)
{
    return {{QStringLiteral("ID"), journal.ID}, {QStringLiteral("Title"), journal.Title},
        {QStringLiteral("Abbrv"), journal.Abbrv}, {QStringLiteral("City"), journal.City},
        {QStringLiteral("URL"), journal.URL}, {QStringLiteral("Impact"), journal.Impact},
        {QStringLiteral("Comment"), journal.Comment}, {QStringLiteral("JType"), CodeText(journal.JType)}};
}

QJsonObject PaperJson(const TPaperRecord &paper)
{
    QJsonArray authors;
    for (const TAuthorRecord &author : paper.AuthorList)
        authors.append(QJsonObject {{QStringLiteral("ID"), author.ID}, {QStringLiteral("First"), author.First},
            {QStringLiteral("Last"), author.Last}});
    return {{QStringLiteral("ID"), paper.ID}, {QStringLiteral("JID"), paper.JID},
        {QStringLiteral("PType"), CodeText(paper.PType)}, {QStringLiteral("Title"), paper.Title},
        {QStringLiteral("SubTitle"), paper.SubTitle}, {QStringLiteral("Year"), paper.Year},
        {QStringLiteral("Volume"), paper.Volume}, {QStringLiteral("Issue"), paper.Issue},
        {QStringLiteral("PS"), paper.PS}, {QStringLiteral("PE"), paper.PE}, {QStringLiteral("URL"), paper.URL},
        {QStringLiteral("DOI"), paper.DOI}, {QStringLiteral("Abst"), paper.Abst},
        {QStringLiteral("Keywords"), paper.Keywords}, {QStringLiteral("Folder"), paper.Folder},
        {QStringLiteral("FileName"), paper.FileName}, {QStringLiteral("Ext"), paper.Ext},
        {QStringLiteral("Local"), paper.Local},
        {QStringLiteral("Added"), paper.Added.isValid() ? QJsonValue(paper.Added.toString(Qt::ISODate)) : QJsonValue()},
        {QStringLiteral("Ord"), paper.Ord}, {QStringLiteral("Authors"), authors},
        {QStringLiteral("Journal"), paper.Journal ? QJsonValue(JournalJson(*paper.Journal)) : QJsonValue()}};
}

QJsonArray PapersJson(const TPapers &papers)
{
    QJsonArray list;
    for (const auto &paper : papers)
        if (paper)
            list.append(PaperJson(*paper));
    return list;
}

QJsonObject StyleJson(const TTemplateRecord &style)
{
    QJsonArray fields;
    for (const TTemplField &field : style.Fields)
        fields.append(QJsonObject {{QStringLiteral("ID"), field.ID}, {QStringLiteral("TType"), CodeText(field.TType)},
            {QStringLiteral("Value"), field.Value}});
    return {{QStringLiteral("ID"), style.ID}, {QStringLiteral("Title"), style.Title},
        {QStringLiteral("AuthDelimeter"), style.AuthDelimeter}, {QStringLiteral("EtAlLimit"), style.EtAlLimit},
        {QStringLiteral("NumFormat"), style.NumFormat}, {QStringLiteral("Fields"), fields}};
}

QJsonObject GroupJson(const TGroupRecord &group)
{
    return {
        {QStringLiteral("ID"), group.ID}, {QStringLiteral("Code"), group.Code}, {QStringLiteral("Title"), group.Title}};
}
