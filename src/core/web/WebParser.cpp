#include "WebParser.h"

#include "exchange/TextFiles.h"
#include "shell/IniFile.h"

#include <QRegularExpression>

const QByteArray TWebParser::OperaUserAgent
    = QByteArrayLiteral("Opera/9.80 (Windows NT 6.1; U; ru) Presto/2.10.229 Version/11.61");

namespace {

// 1-based position of s in text at or after position from; 0 when there is none. Case-sensitive.
qsizetype Find(const QString &s, const QString &text, qsizetype from = 1)
{
    if (from < 1)
        from = 1;
    return text.indexOf(s, from - 1) + 1;
}

// The text from 1-based position a up to, not including, position b.
QString Take(const QString &text, qsizetype a, qsizetype b)
{
    if (a < 1 || b < a)
        return {};
    return text.mid(a - 1, b - a);
}

// The text after marker up to the next double quote (a hidden form field's value); empty without the marker.
QString ValueAfter(const QString &page, const QString &marker)
{
    const qsizetype p = Find(marker, page);
    if (p == 0)
        return {};
    const qsizetype start = p + marker.size();
    return Take(page, start, Find(QStringLiteral("\""), page, start));
}

QByteArray FormBody(const QList<std::pair<QString, QString>> &fields)
{
    // A field listed twice is sent once, at its first place, with its last value; empty values are left out.
    QList<std::pair<QString, QString>> merged;
    for (const auto &field : fields) {
        auto existing = std::find_if(
            merged.begin(), merged.end(), [&field](const auto &known) { return known.first == field.first; });
        if (existing != merged.end())
            existing->second = field.second;
        else
            merged.append(field);
    }
    QByteArray body;
    for (const auto &[name, value] : merged) {
        if (value.isEmpty())
            continue;
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

} // namespace

TWebSites TWebSites::FromIni(const TIniFile &ini)
{
    TWebSites sites;
    const QString section = QStringLiteral("Web");
    for (auto [key, field] :
        std::initializer_list<std::pair<const char *, QString TWebSites::*>> {{"DoiResolver", &TWebSites::DoiResolver},
            {"ScienceDirect", &TWebSites::ScienceDirect}, {"SpringerLink", &TWebSites::SpringerLink},
            {"AIP", &TWebSites::AIP}, {"AVS", &TWebSites::AVS}, {"Cambridge", &TWebSites::Cambridge},
            {"APS", &TWebSites::APS}, {"IOP", &TWebSites::IOP}, {"ACS", &TWebSites::ACS}}) {
        const QString value = ini.ReadString(section, QLatin1String(key), QString()).trimmed();
        if (!value.isEmpty())
            sites.*field = value;
    }
    return sites;
}

QString TWebSites::RegisteredDomain(const QString &host)
{
    const qsizetype dot = host.indexOf(u'.');
    return dot < 0 ? host : host.mid(dot + 1);
}

TWebParser::TWebParser(const TProxyOptions *proxy, TWebSites sites)
    : FSites(std::move(sites))
    , FHttp(proxy)
{ }

QString TWebParser::DoiOf(const QString &address)
{
    static const QRegularExpression link(
        QStringLiteral("^https?://(dx\\.)?doi\\.org/+(10\\.\\S+)$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bare(
        QStringLiteral("^(?:doi:\\s*)?(10\\.\\d{4,9}/\\S+)$"), QRegularExpression::CaseInsensitiveOption);
    const QString text = address.trimmed();
    QRegularExpressionMatch match = link.match(text);
    if (match.hasMatch())
        return QUrl::fromPercentEncoding(match.captured(2).toUtf8());
    match = bare.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString TWebParser::GetPage(const QString &url)
{
    return SplitLines(DecodeText(FHttp.Get(QUrl(url)))).join(QStringLiteral("\r\n"));
}

void TWebParser::SetPostHeaders(const QString &referer)
{
    FHttp.SetHeader("User-Agent", OperaUserAgent);
    FHttp.SetHeader("Referer", referer.toUtf8());
    FHttp.SetHeader("Content-Type", "application/x-www-form-urlencoded");
    FHttp.SetHeader("Connection", "Keep-Alive");
}

QByteArray TWebParser::PostForm(const QString &url, const QList<std::pair<QString, QString>> &fields,
    const QString &referer, const THttpHeaders &extraHeaders)
{
    SetPostHeaders(referer);
    return FHttp.Post(QUrl(url), FormBody(fields), extraHeaders);
}

// Citation answers are UTF-8; a byte-order mark is dropped, and bytes that are no UTF-8 are read in the 8-bit
// code page rather than lost.
void TWebParser::LoadRis(const QByteArray &body, QStringList *SL)
{
    *SL = SplitLines(DecodeText(body));
}

void TWebParser::ResolveDoi(const QString &URL)
{
    FRedirectURL.clear();
    try {
        FHttp.Get(QUrl(URL));
        FRedirectURL = FHttp.LastRedirect();
    } catch (const EHttpError &) {
        FRedirectURL = FHttp.LastRedirect();
        if (FHttp.LastStatus() == 403) {
            FHttp.SetHeader("User-Agent", OperaUserAgent);
            FHttp.SetHeader("Referer", FRedirectURL.toUtf8());
            FHttp.SetHeader("Connection", "Keep-Alive");
            const QString target = FRedirectURL;
            try {
                FHttp.Get(QUrl(target));
            } catch (const EHttpError &) {
                if (!FHttp.LastRedirect().isEmpty())
                    FRedirectURL = FHttp.LastRedirect();
                throw;
            }
            if (!FHttp.LastRedirect().isEmpty())
                FRedirectURL = FHttp.LastRedirect();
        }
    }
    const qsizetype query = FRedirectURL.indexOf(u'?');
    if (query >= 0)
        FRedirectURL.truncate(query);
}

void TWebParser::GetInfo(QString URL, QString &PdfURL, QStringList *SL, bool PdfOnly)
{
    if (!SL)
        PdfOnly = true;
    // A DOI link of either scheme and either resolver name, or a bare DOI, goes to the resolver as one address.
    const QString doi = DoiOf(URL);
    if (!doi.isEmpty())
        URL = QStringLiteral("http://") + FSites.DoiResolver + u'/' + doi;
    if (URL.contains(QStringLiteral("http://") + FSites.DoiResolver + u'/')) {
        ResolveDoi(URL);
        URL = FRedirectURL;
    }
    try {
        RunSiteSteps(URL, PdfURL, SL, PdfOnly);
    } catch (const EHttpError &) {
        // A publisher page that fails does not end a DOI's retrieval while the resolver can still answer.
        if (doi.isEmpty() || PdfOnly)
            throw;
        DoiCitation(doi, SL);
        if (!HasRis(*SL))
            throw;
        return;
    }
    // The publishers' pages of 2012 are gone; the resolver itself answers for most DOIs today.
    if (!PdfOnly && !doi.isEmpty() && !HasRis(*SL))
        DoiCitation(doi, SL);
}

bool TWebParser::HasRis(const QStringList &lines)
{
    return std::any_of(
        lines.begin(), lines.end(), [](const QString &line) { return line.startsWith(QStringLiteral("TY  -")); });
}

void TWebParser::RunSiteSteps(const QString &URL, QString &PdfURL, QStringList *SL, bool PdfOnly)
{
    QString RisPage;
    const auto has = [&URL](const QString &test) { return !test.isEmpty() && URL.contains(test); };
    // A page without an export link leaves the citation as it was: there is nothing to ask for.
    const auto cite = [&](void (TWebParser::*step)(const QString &, QStringList *)) {
        if (!PdfOnly && !RisPage.isEmpty())
            (this->*step)(RisPage, SL);
    };
    if (has(QStringLiteral("http://") + FSites.ScienceDirect)) {
        ScienceDirectPage(URL, PdfURL, RisPage);
        cite(&TWebParser::ScienceDirectCitation);
    } else if (has(QStringLiteral("http://") + FSites.SpringerLink)) {
        PdfURL = URL + QStringLiteral("fulltext.pdf");
        RisPage = URL + QStringLiteral("export-citation/");
        cite(&TWebParser::SpringerCitation);
    }
    // The six later sites, each tested on its own in this order: a later one's finds replace an earlier one's.
    using TPageStep = void (TWebParser::*)(const QString &, QString &, QString &);
    using TCiteStep = void (TWebParser::*)(const QString &, QStringList *);
    const struct
    {
        QString Test;
        TPageStep Page;
        TCiteStep Cite;
    } sites[] = {
        {u'.' + TWebSites::RegisteredDomain(FSites.AIP) + u'/', &TWebParser::AipPage, &TWebParser::PlainCitation},
        {FSites.AVS + u'/', &TWebParser::AipPage, &TWebParser::PlainCitation},
        {u'.' + TWebSites::RegisteredDomain(FSites.Cambridge), &TWebParser::CambridgePage,
            &TWebParser::CambridgeCitation},
        {u'.' + TWebSites::RegisteredDomain(FSites.APS), &TWebParser::ApsPage, &TWebParser::PlainCitation},
        {u'.' + TWebSites::RegisteredDomain(FSites.IOP), &TWebParser::IopPage, &TWebParser::PlainCitation},
        {u'.' + TWebSites::RegisteredDomain(FSites.ACS), &TWebParser::AcsPage, &TWebParser::AcsCitation},
    };
    for (const auto &site : sites) {
        if (!has(site.Test))
            continue;
        (this->*site.Page)(URL, PdfURL, RisPage);
        cite(site.Cite);
    }
}

void TWebParser::DoiCitation(const QString &doi, QStringList *SL)
{
    try {
        const QByteArray body = FHttp.Get(QUrl(QStringLiteral("http://") + FSites.DoiResolver + u'/' + doi),
            {{"Accept", "application/x-research-info-systems"}});
        QStringList lines;
        LoadRis(body, &lines);
        if (HasRis(lines))
            *SL = lines;
    } catch (const EHttpError &) {
        // The resolver knows no citation for it: the retrieval finds nothing, as for an unknown site.
    }
}

void TWebParser::ScienceDirectPage(const QString &U, QString &PdfURL, QString &RisPage)
{
    const QString page = GetPage(U);
    qsizetype p = Find(QStringLiteral("pdfurl=\""), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral(".pdf\""), page, p);
        if (q > 0)
            PdfURL = Take(page, p + 8, q + 4);
    }
    p = Find(QStringLiteral("<div class=\"icon_exportarticlesci_dir\" title=\"Export citation\">"), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("<a href=\""), page, p);
        const qsizetype r = Find(QStringLiteral("\""), page, q + 10);
        if (q > 0 && r > 0)
            RisPage = Base(FSites.ScienceDirect) + Take(page, q + 9, r);
    }
}

void TWebParser::ScienceDirectCitation(const QString &RisPage, QStringList *SL)
{
    const QString page = GetPage(RisPage);
    const auto fromAddress = [&RisPage](const QString &key) -> QString {
        const qsizetype at = RisPage.indexOf(key);
        if (at < 0)
            return {};
        const qsizetype start = at + key.size() + 1;
        const qsizetype end = RisPage.indexOf(u'&', at + key.size());
        return end < 0 ? QString() : RisPage.mid(start, end - start);
    };
    const auto fromPage = [&page](const QString &key) -> QString {
        const qsizetype p = Find(QStringLiteral("<input type=hidden name=") + key, page);
        if (p == 0)
            return {};
        const qsizetype s = Find(QStringLiteral("="), page, p + 24) + 1;
        const qsizetype e = Find(QStringLiteral(">"), page, s);
        return s > 1 && e > 0 ? Take(page, s, e) : QString();
    };
    const QByteArray response = PostForm(Base(FSites.ScienceDirect) + QStringLiteral("/science"),
        {{QStringLiteral("_ob"), QStringLiteral("DownloadURL")}, {QStringLiteral("_method"), QStringLiteral("finish")},
            {QStringLiteral("_acct"), fromAddress(QStringLiteral("_acct"))},
            {QStringLiteral("_userid"), fromAddress(QStringLiteral("_userid"))},
            {QStringLiteral("_docType"), QStringLiteral("FLA")},
            {QStringLiteral("_eidkey"), fromAddress(QStringLiteral("_eidkey"))},
            {QStringLiteral("count"), QStringLiteral("1")}, {QStringLiteral("md5"), fromPage(QStringLiteral("md5"))},
            {QStringLiteral("JAVASCRIPT_ON"), fromPage(QStringLiteral("JAVASCRIPT_ON"))},
            {QStringLiteral("format"), QStringLiteral("cite-abs")},
            {QStringLiteral("citation-type"), QStringLiteral("RIS")},
            {QStringLiteral("Export"), QStringLiteral("Export")},
            {QStringLiteral("RETURN_URL"), fromPage(QStringLiteral("RETURN_URL"))}},
        RisPage, {{"Accept", "text/html"}});
    LoadRis(response, SL);
}

void TWebParser::SpringerCitation(const QString &RisPage, QStringList *SL)
{
    SetPostHeaders(RisPage);
    const QString page = GetPage(RisPage);
    const auto hidden = [&page](const QString &marker) { return ValueAfter(page, marker); };
    const QString viewState
        = hidden(QStringLiteral("<input type=\"hidden\" name=\"__VIEWSTATE\" id=\"__VIEWSTATE\" value=\""));
    const QString validation
        = hidden(QStringLiteral("<input type=\"hidden\" name=\"__EVENTVALIDATION\" id=\"__EVENTVALIDATION\" value=\""));
    SL->clear();
    SetPostHeaders(RisPage);
    const QByteArray body = FHttp.Post(QUrl(RisPage),
        FormBody({{QStringLiteral("__VIEWSTATE"), viewState},
            {QStringLiteral("ctl00$ctl14$cultureList"), QStringLiteral("en-us")},
            {QStringLiteral("ctl00$ctl14$SearchControl$BasicSearchForTextBox"), QString()},
            {QStringLiteral("ctl00$ctl14$SearchControl$BasicAuthorOrEditorTextBox"), QString()},
            {QStringLiteral("ctl00$ctl14$SearchControl$BasicPublicationTextBox"), QString()},
            {QStringLiteral("ctl00$ctl14$SearchControl$BasicVolumeTextBox"), QString()},
            {QStringLiteral("ctl00$ctl14$SearchControl$BasicIssueTextBox"), QString()},
            {QStringLiteral("ctl00$ctl14$BasicPageTextBox"), QString()},
            {QStringLiteral("ctl00$ContentPrimary$ctl00$ctl00$Export"), QStringLiteral("AbstractRadioButton")},
            {QStringLiteral("ctl00$ContentPrimary$ctl00$ctl00$CitationManagerDropDownList"),
                QStringLiteral("ReferenceManager")},
            {QStringLiteral("ctl00$ContentPrimary$ctl00$ctl00$ExportCitationButton"),
                QStringLiteral("Export Citation")},
            {QStringLiteral("__EVENTVALIDATION"), validation}}));
    // The site's own spelling of its content type, and nothing else, marks a citation.
    if (FHttp.LastContentType() == "applicaton/x-research-info-systems; charset=utf-8")
        LoadRis(body, SL);
}

void TWebParser::AipPage(const QString &U, QString &PdfURL, QString &RisPage)
{
    const QString page = GetPage(U);
    const QString servlet
        = QStringLiteral("http://") + FSites.AIP + QStringLiteral("/getpdf/servlet/GetPDFServlet?filetype=pdf&id=");
    qsizetype p = Find(QStringLiteral("<a href=\"") + servlet, page);
    if (p > 0) {
        const QString firstLabel = FSites.AIP.section(u'.', 0, 0);
        const qsizetype q = Find(QStringLiteral("http://") + firstLabel + u'.', page, p);
        const qsizetype e = Find(QStringLiteral("\">"), page, q);
        if (q > 0 && e > 0)
            PdfURL = Take(page, q, e);
    }
    p = Find(QStringLiteral("&id="), PdfURL);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("&idtype"), PdfURL, p);
        const QString articleId = q > 0 ? Take(PdfURL, p + 4, q) : PdfURL.mid(p + 3);
        RisPage = QStringLiteral("http://") + FSites.AIP
            + QStringLiteral(
                "/getabs/servlet/GetCitation?source=scitation&downloadcitation=+Go+&source=scitation&SelectCheck=")
            + articleId + QStringLiteral("&fn=open_isi");
    }
}

void TWebParser::PlainCitation(const QString &RisPage, QStringList *SL)
{
    const QByteArray body = FHttp.Get(QUrl(RisPage));
    LoadRis(body, SL);
}

void TWebParser::CambridgePage(const QString &U, QString &PdfURL, QString &RisPage)
{
    const QString page = GetPage(U);
    const QString base = Base(FSites.Cambridge) + QStringLiteral("/action/");
    qsizetype p = Find(QStringLiteral("exportCitation"), page);
    if (p > 0)
        RisPage = base + Take(page, p, Find(QStringLiteral("\""), page, p));
    p = Find(QStringLiteral("displayFulltext?"), page);
    if (p > 0)
        PdfURL = base + Take(page, p, Find(QStringLiteral("\""), page, p));
    PdfURL.remove(u'\n');
    PdfURL.remove(u'\r');
    PdfURL.remove(u'\t');
}

void TWebParser::CambridgeCitation(const QString &RisPage, QStringList *SL)
{
    const QString page = GetPage(RisPage);
    const qsizetype p = Find(QStringLiteral(";componentIds="), page);
    const QString component = p > 0 ? Take(page, p + 14, Find(QStringLiteral("\""), page, p + 14)) : QString();
    const QByteArray response = PostForm(Base(FSites.Cambridge) + QStringLiteral("/action/exportCitation"),
        {{QStringLiteral("displayAbstract"), QStringLiteral("No")}, {QStringLiteral("format"), QStringLiteral("RIS")},
            {QStringLiteral("Download"), QStringLiteral("Export")}, {QStringLiteral("emailId"), QString()},
            {QStringLiteral("name"), QString()}, {QStringLiteral("emailId2"), QString()},
            {QStringLiteral("message"), QString()}, {QStringLiteral("Download"), QStringLiteral("Export")},
            {QStringLiteral("componentIds"), component}},
        RisPage);
    LoadRis(response, SL);
}

void TWebParser::ApsPage(const QString &U, QString &PdfURL, QString &RisPage)
{
    const QString page = GetPage(U);
    const qsizetype org = U.indexOf(QStringLiteral("org/"));
    const QString base = org < 0 ? U : U.left(org + 3);
    qsizetype p = Find(QStringLiteral("<a href=\"/pdf/"), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("/"), page, p);
        PdfURL = base + Take(page, q, Find(QStringLiteral("\">"), page, q));
    }
    p = Find(QStringLiteral("<a id=\"ris_export\" href=\"/"), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("\"/"), page, p) + 1;
        RisPage = base + Take(page, q, Find(QStringLiteral("\">"), page, q));
    }
}

void TWebParser::IopPage(const QString &address, QString &PdfURL, QString &RisPage)
{
    const QString U = address.section(u'?', 0, 0);
    const QString page = GetPage(U);
    qsizetype p = Find(QStringLiteral("<a class=\"icon pdf\" href=\""), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("/"), page, p);
        PdfURL = Base(FSites.IOP) + Take(page, q, Find(QStringLiteral("\""), page, q));
    }
    p = Find(QStringLiteral("<input type=\"hidden\" name=\"articleId\" value=\""), page);
    if (p > 0) {
        const qsizetype s = Find(QStringLiteral("value=\""), page, p) + 7;
        const QString articleId = Take(page, s, Find(QStringLiteral("\">"), page, s));
        RisPage = Base(FSites.IOP) + QStringLiteral("/export?articleId=") + articleId
            + QStringLiteral(
                "&exportFormat=iopexport_ris&exportType=abs&navsubmit=Export+Results&navsubmit=Export+Results");
    }
}

void TWebParser::AcsPage(const QString &U, QString &PdfURL, QString &RisPage)
{
    const QString page = GetPage(U);
    qsizetype p = Find(QStringLiteral("a title=\"View the Full Text PDF\" href=\""), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("/"), page, p);
        PdfURL = Base(FSites.ACS) + Take(page, q, Find(QStringLiteral("\">"), page, q));
    }
    p = Find(QStringLiteral("/>Add to Favorites</a>"), page);
    if (p > 0) {
        const qsizetype q = Find(QStringLiteral("<a href=\""), page, p) + 9;
        RisPage = Base(FSites.ACS) + Take(page, q, Find(QStringLiteral("\" title="), page, q));
    }
}

void TWebParser::AcsCitation(const QString &RisPage, QStringList *SL)
{
    const QString page = GetPage(RisPage);
    const auto hidden = [&page](const QString &marker) { return ValueAfter(page, marker); };
    const QByteArray response = PostForm(Base(FSites.ACS) + QStringLiteral("/action/downloadCitation"),
        {{QStringLiteral("doi"), hidden(QStringLiteral("<input type=\"hidden\" name=\"doi\" value=\""))},
            {QStringLiteral("downloadFileName"),
                hidden(QStringLiteral("<input type=\"hidden\" name=\"downloadFileName\" value=\""))},
            {QStringLiteral("direct"), QStringLiteral("true")}, {QStringLiteral("format"), QStringLiteral("ris")},
            {QStringLiteral("include"), QStringLiteral("abs")},
            {QStringLiteral("submit"), QStringLiteral("Download Citation(s)")}},
        RisPage);
    LoadRis(response, SL);
}
