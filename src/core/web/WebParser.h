#pragma once

#include "HttpSession.h"
#include "WebSites.h"

#include <QStringList>

class TProxyOptions;

// Finds the RIS citation and the full-text PDF address of a journal article from its web address: a DOI link,
// a bare DOI or the article's page on one of the known publisher sites. The pages are fetched and searched
// for fixed markers; the citation comes from the site's export page or, for a DOI, from the resolver itself.
// Requests are synchronous on the caller's thread; the retriever keeps its cookies and headers between calls.
class TWebParser
{
public:
    explicit TWebParser(const TProxyOptions *proxy = nullptr, TWebSites sites = {});

    // PdfURL receives the PDF address found (unchanged when none is); unless PdfOnly, SL receives the lines
    // of the RIS text (or is left empty). SL may be null with PdfOnly. Network and HTTP failures of the site
    // steps raise EHttpError.
    void GetInfo(QString URL, QString &PdfURL, QStringList *SL, bool PdfOnly);

    QList<QNetworkCookie> Cookies() const { return FHttp.Cookies(); }
    THttpSession &Http() { return FHttp; }
    const TWebSites &Sites() const { return FSites; }

    // "10.xxxx/..." from a DOI link (http or https, doi.org or dx.doi.org) or a bare DOI; empty otherwise.
    static QString DoiOf(const QString &address);

    static const QByteArray OperaUserAgent;

private:
    void ResolveDoi(const QString &URL);
    void RunSiteSteps(const QString &URL, QString &PdfURL, QStringList *SL, bool PdfOnly);
    static bool HasRis(const QStringList &lines);
    QString GetPage(const QString &url);
    QByteArray PostForm(const QString &url, const QList<std::pair<QString, QString>> &fields, const QString &referer,
        const THttpHeaders &extraHeaders = {});
    void SetPostHeaders(const QString &referer);
    void LoadRis(const QByteArray &body, QStringList *SL);
    QString Base(const QString &host) const { return QStringLiteral("http://") + host; }

    void ScienceDirectPage(const QString &U, QString &PdfURL, QString &RisPage);
    void ScienceDirectCitation(const QString &RisPage, QStringList *SL);
    void SpringerCitation(const QString &RisPage, QStringList *SL);
    void AipPage(const QString &U, QString &PdfURL, QString &RisPage);
    void PlainCitation(const QString &RisPage, QStringList *SL);
    void CambridgePage(const QString &U, QString &PdfURL, QString &RisPage);
    void CambridgeCitation(const QString &RisPage, QStringList *SL);
    void ApsPage(const QString &U, QString &PdfURL, QString &RisPage);
    void IopPage(const QString &address, QString &PdfURL, QString &RisPage);
    void AcsPage(const QString &U, QString &PdfURL, QString &RisPage);
    void AcsCitation(const QString &RisPage, QStringList *SL);
    // The citation by content negotiation with the DOI resolver; nothing when it has none.
    void DoiCitation(const QString &doi, QStringList *SL);

    TWebSites FSites;
    THttpSession FHttp;
    QString FRedirectURL;
};
