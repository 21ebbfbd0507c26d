#include "LoopbackHttpServer.h"
#include "shell/Config.h"
#include "web/WebParser.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TRequest = TLoopbackHttpServer::TRequest;
using TResponse = TLoopbackHttpServer::TResponse;

const QByteArray Ris = "TY  - JOUR\r\nT1  - Friction of thin films\r\nER  - \r\n";

TResponse Page(const QByteArray &body)
{
    return {200, {{"Content-Type", "text/html"}}, body};
}

TResponse Redirect(const QByteArray &target)
{
    return {302, {{"Location", target}}, {}};
}

} // namespace

// The publisher sites are served by a loopback server that the retriever reaches as its HTTP proxy, so every
// address keeps the real host names of the sites while nothing leaves this machine.
class TestWebParser : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TConfig> FConfig;
    QHash<QByteArray, TResponse> FPages; // by absolute address
    std::unique_ptr<TLoopbackHttpServer> FServer;

    TWebParser Parser()
    {
        TProxyOptions &proxy = FConfig->GetOptions<TProxyOptions>();
        proxy.SetProxy(QStringLiteral("127.0.0.1"));
        proxy.SetPort(FServer->Port());
        return TWebParser(&proxy);
    }

    QList<QByteArray> Targets() const
    {
        QList<QByteArray> targets;
        for (const TRequest &request : FServer->Requests())
            targets << request.Method + ' ' + request.Target;
        return targets;
    }

    const TRequest *Request(const QByteArray &target) const
    {
        for (const TRequest &request : FServer->Requests())
            if (request.Target == target)
                return &request;
        return nullptr;
    }

private Q_SLOTS:
    void init()
    {
        FDir = std::make_unique<QTemporaryDir>();
        FConfig = std::make_unique<TConfig>(FDir->filePath(QStringLiteral("prog")), FDir->filePath(QStringLiteral("data")));
        FPages.clear();
        FServer = std::make_unique<TLoopbackHttpServer>([this](const TRequest &request) {
            return FPages.value(request.Target, TResponse{404, {}, "not here"});
        });
    }

    void scienceDirect()
    {
        FPages["http://www.sciencedirect.com/science/article/pii/S1?ref=http://www.springerlink.com"] =
            Page("<a pdfurl=\"http://www.sciencedirect.com/x/1-s2.0-S1.pdf\" class=b>\n"
                 "<div class=\"icon_exportarticlesci_dir\" title=\"Export citation\"><a href=\"/science?_ob=DownloadURL&_acct=C0&_userid=10&_eidkey=1-s2.0&zone=x\">");
        FPages["http://www.sciencedirect.com/science?_ob=DownloadURL&_acct=C0&_userid=10&_eidkey=1-s2.0&zone=x"] =
            Page("<input type=hidden name=md5 value=abc123>\n<input type=hidden name=RETURN_URL value=http://x/y?a=1>");
        FPages["http://www.sciencedirect.com/science"] = {200, {{"Content-Type", "text/plain"}}, Ris};
        QString pdf;
        QStringList ris;
        // The address also holds SpringerLink's test: ScienceDirect's steps alone run.
        Parser().GetInfo(QStringLiteral("http://www.sciencedirect.com/science/article/pii/S1?ref=http://www.springerlink.com"), pdf,
                         &ris, false);
        QCOMPARE(pdf, QStringLiteral("http://www.sciencedirect.com/x/1-s2.0-S1.pdf"));
        QCOMPARE(ris.value(1), QStringLiteral("T1  - Friction of thin films"));
        const TRequest *post = Request("http://www.sciencedirect.com/science");
        QVERIFY(post);
        QCOMPARE(post->Method, QByteArray("POST"));
        QCOMPARE(post->Body, QByteArray("_ob=DownloadURL&_method=finish&_acct=C0&_userid=10&_docType=FLA&_eidkey=1-s2.0&count=1&md5=abc123&"
                                        "format=cite-abs&citation-type=RIS&Export=Export&RETURN_URL=http%3A%2F%2Fx%2Fy%3Fa%3D1"));
        QCOMPARE(post->Headers.value("user-agent"), TWebParser::OperaUserAgent);
        QCOMPARE(post->Headers.value("referer"),
                 QByteArray("http://www.sciencedirect.com/science?_ob=DownloadURL&_acct=C0&_userid=10&_eidkey=1-s2.0&zone=x"));
        QCOMPARE(post->Headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(post->Headers.value("accept"), QByteArray("text/html"));
        QCOMPARE(Targets().size(), 3);
    }

    void springerLinkContentType_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<int>("lines");
        QTest::newRow("the site's own spelling") << QByteArray("applicaton/x-research-info-systems; charset=utf-8") << 3;
        QTest::newRow("the standard spelling") << QByteArray("application/x-research-info-systems; charset=utf-8") << 0;
    }

    void springerLinkContentType()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(int, lines);
        FPages["http://www.springerlink.com/content/k1/export-citation/"] =
            Page("<input type=\"hidden\" name=\"__VIEWSTATE\" id=\"__VIEWSTATE\" value=\"VS+1\" />");
        FServer = std::make_unique<TLoopbackHttpServer>([this, contentType](const TRequest &request) {
            if (request.Method == "POST")
                return TResponse{200, {{"Content-Type", contentType}}, Ris};
            return FPages.value(request.Target, TResponse{404, {}, {}});
        });
        QString pdf;
        QStringList ris{QStringLiteral("old")};
        Parser().GetInfo(QStringLiteral("http://www.springerlink.com/content/k1/"), pdf, &ris, false);
        QCOMPARE(pdf, QStringLiteral("http://www.springerlink.com/content/k1/fulltext.pdf"));
        QCOMPARE(ris.size(), lines);
        QCOMPARE(FServer->Requests().size(), 2); // no page request: the links are built from the address
        QCOMPARE(FServer->Requests().last().Body,
                 QByteArray("__VIEWSTATE=VS%2B1&ctl00%24ctl14%24cultureList=en-us&ctl00%24ContentPrimary%24ctl00%24ctl00%24Export="
                            "AbstractRadioButton&ctl00%24ContentPrimary%24ctl00%24ctl00%24CitationManagerDropDownList=ReferenceManager&"
                            "ctl00%24ContentPrimary%24ctl00%24ctl00%24ExportCitationButton=Export%20Citation"));
    }

    // The plain-GET sites and Cambridge's and ACS's forms, each from its page markers.
    void sites_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QByteArray>("citation"); // method and address of the citation request
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("AIP") << QStringLiteral("http://link.aip.org/link/?APL/100/1")
                             << QByteArray("<a href=\"http://scitation.aip.org/getpdf/servlet/GetPDFServlet?filetype=pdf&id=APPLAB000100&idtype=cvips\">PDF</a>")
                             << QStringLiteral("http://scitation.aip.org/getpdf/servlet/GetPDFServlet?filetype=pdf&id=APPLAB000100&idtype=cvips")
                             << QByteArray("GET http://scitation.aip.org/getabs/servlet/GetCitation?source=scitation&downloadcitation=+Go+&"
                                           "source=scitation&SelectCheck=APPLAB000100&fn=open_isi")
                             << QByteArray();
        QTest::newRow("APS") << QStringLiteral("http://prl.aps.org/abstract/PRL/v108/i1/e1")
                             << QByteArray("<a href=\"/pdf/PRL/v108/i1/e1\">PDF</a> <a id=\"ris_export\" href=\"/export/PRL/v108/i1/e1?type=ris\">RIS</a>")
                             << QStringLiteral("http://prl.aps.org/pdf/PRL/v108/i1/e1")
                             << QByteArray("GET http://prl.aps.org/export/PRL/v108/i1/e1?type=ris") << QByteArray();
        QTest::newRow("IOP, query cut") << QStringLiteral("http://iopscience.iop.org/0022-3727/45/1/1?fromSearchPage=true")
                                        << QByteArray("<a class=\"icon pdf\" href=\"/0022-3727/45/1/1/pdf/1.pdf\" title>"
                                                      "<input type=\"hidden\" name=\"articleId\" value=\"0022-3727/45/1/1\">")
                                        << QStringLiteral("http://iopscience.iop.org/0022-3727/45/1/1/pdf/1.pdf")
                                        << QByteArray("GET http://iopscience.iop.org/export?articleId=0022-3727/45/1/1&exportFormat=iopexport_ris&"
                                                      "exportType=abs&navsubmit=Export+Results&navsubmit=Export+Results")
                                        << QByteArray();
        QTest::newRow("Cambridge, link over lines")
            << QStringLiteral("http://journals.cambridge.org/action/displayAbstract?aid=1")
            << QByteArray("<a href=\"exportCitation?aid=1\">Export</a>\r\n<a href=\"displayFulltext?type=1&\r\n\tpdftype=1&aid=1\">PDF</a>")
            << QStringLiteral("http://journals.cambridge.org/action/displayFulltext?type=1&pdftype=1&aid=1")
            << QByteArray("POST http://journals.cambridge.org/action/exportCitation")
            << QByteArray("displayAbstract=No&format=RIS&Download=Export&componentIds=C1");
        QTest::newRow("ACS") << QStringLiteral("http://pubs.acs.org/doi/abs/10.1021/ja1")
                             << QByteArray("<a title=\"View the Full Text PDF\" href=\"/doi/pdf/10.1021/ja1\">PDF</a>"
                                           "<a href=\"#\" />Add to Favorites</a> <a href=\"/action/showCitFormats?doi=10.1021%2Fja1\" title=\"Download\">")
                             << QStringLiteral("http://pubs.acs.org/doi/pdf/10.1021/ja1")
                             << QByteArray("POST http://pubs.acs.org/action/downloadCitation")
                             << QByteArray("doi=10.1021%2Fja1&downloadFileName=ja1&direct=true&format=ris&include=abs&submit=Download%20Citation%28s%29");
    }

    void sites()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, page);
        QFETCH(QString, pdf);
        QFETCH(QByteArray, citation);
        QFETCH(QByteArray, body);
        // IOP asks for its page without the address's query.
        FPages[address.contains(QStringLiteral("iop.org")) ? address.section(u'?', 0, 0).toUtf8() : address.toUtf8()] = Page(page);
        // Export pages of the form sites, and every citation answer.
        FPages["http://journals.cambridge.org/action/exportCitation?aid=1"] = Page("<a href=\"x;componentIds=C1\">");
        FPages["http://pubs.acs.org/action/showCitFormats?doi=10.1021%2Fja1"] =
            Page("<input type=\"hidden\" name=\"doi\" value=\"10.1021/ja1\"><input type=\"hidden\" name=\"downloadFileName\" value=\"ja1\">");
        FPages[citation.mid(citation.indexOf(' ') + 1)] = {200, {{"Content-Type", "application/x-research-info-systems"}}, Ris};
        QString foundPdf;
        QStringList ris;
        Parser().GetInfo(address, foundPdf, &ris, false);
        QCOMPARE(foundPdf, pdf);
        QCOMPARE(ris.value(1), QStringLiteral("T1  - Friction of thin films"));
        QVERIFY2(Targets().contains(citation), Targets().join('\n').constData());
        QCOMPARE(FServer->Requests().last().Body, body);
    }

    // An address of two later sites runs both in table order: the later one's links and citation win. With
    // PdfOnly only the page steps run, and no list is needed.
    void twoSitesAndPdfOnly()
    {
        const QByteArray address = "http://prl.aps.org/abstract/x.iop.org/1";
        FPages[address] = Page("<a href=\"/pdf/aps.pdf\">x</a> <a id=\"ris_export\" href=\"/aps.ris\">r</a>"
                               "<a class=\"icon pdf\" href=\"/iop.pdf\" title><input type=\"hidden\" name=\"articleId\" value=\"9\">");
        FPages["http://prl.aps.org/aps.ris"] = Page("TY  - JOUR\r\nT1  - APS\r\n");
        FPages["http://iopscience.iop.org/export?articleId=9&exportFormat=iopexport_ris&exportType=abs&navsubmit=Export+Results&navsubmit="
               "Export+Results"] = Page("TY  - JOUR\r\nT1  - IOP\r\n");
        QString pdf;
        QStringList ris;
        Parser().GetInfo(QString::fromLatin1(address), pdf, &ris, false);
        QCOMPARE(pdf, QStringLiteral("http://iopscience.iop.org/iop.pdf"));
        QCOMPARE(ris.value(1), QStringLiteral("T1  - IOP"));
        QCOMPARE(Targets().size(), 4);

        QString pdfOnly;
        Parser().GetInfo(QString::fromLatin1(address), pdfOnly, nullptr, true);
        QCOMPARE(pdfOnly, pdf);
        QCOMPARE(Targets().size(), 6); // the two pages again, no citation
    }

    // DOI links: the last redirect target, cut before "?", goes through the site table; a 403 at the target is
    // asked once more as a browser would; https links and bare DOIs are resolved too; a DOI whose site gives no
    // citation gets the resolver's own by content negotiation.
    void doiLinks_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("forbiddenFirst");
        QTest::newRow("http resolver link") << QStringLiteral("http://dx.doi.org/10.1103/PhysRevLett.1") << false;
        QTest::newRow("403 on the first request") << QStringLiteral("http://dx.doi.org/10.1103/PhysRevLett.1") << true;
        QTest::newRow("https link of the new resolver name") << QStringLiteral("https://doi.org/10.1103/PhysRevLett.1") << false;
        QTest::newRow("bare DOI") << QStringLiteral("10.1103/PhysRevLett.1") << false;
    }

    void doiLinks()
    {
        QFETCH(QString, address);
        QFETCH(bool, forbiddenFirst);
        int visits = 0;
        FServer = std::make_unique<TLoopbackHttpServer>([&](const TRequest &request) {
            if (request.Target == "http://dx.doi.org/10.1103/PhysRevLett.1")
                return Redirect("http://prl.aps.org/abstract/PRL/v1/e1?from=doi");
            if (request.Target == "http://prl.aps.org/abstract/PRL/v1/e1?from=doi" && forbiddenFirst && visits++ == 0)
                return TResponse{403, {}, "no robots"};
            if (request.Target == "http://prl.aps.org/abstract/PRL/v1/e1?from=doi")
                return Page("landing");
            if (request.Target == "http://prl.aps.org/abstract/PRL/v1/e1")
                return Page("<a href=\"/pdf/PRL/v1/e1\">PDF</a><a id=\"ris_export\" href=\"/export/PRL/v1/e1\">RIS</a>");
            if (request.Target == "http://prl.aps.org/export/PRL/v1/e1")
                return TResponse{200, {}, Ris};
            return TResponse{404, {}, {}};
        });
        QString pdf;
        QStringList ris;
        TWebParser parser = Parser();
        parser.GetInfo(address, pdf, &ris, false);
        QCOMPARE(pdf, QStringLiteral("http://prl.aps.org/pdf/PRL/v1/e1"));
        QCOMPARE(ris.value(1), QStringLiteral("T1  - Friction of thin films"));
        if (forbiddenFirst) {
            const TRequest *retry = nullptr;
            for (const TRequest &request : FServer->Requests())
                if (request.Target == "http://prl.aps.org/abstract/PRL/v1/e1?from=doi")
                    retry = &request;
            QVERIFY(retry);
            QCOMPARE(retry->Headers.value("user-agent"), TWebParser::OperaUserAgent);
            QCOMPARE(retry->Headers.value("referer"), QByteArray("http://prl.aps.org/abstract/PRL/v1/e1?from=doi"));
        }
    }

    void doiContentNegotiation_data()
    {
        QTest::addColumn<bool>("resolverHasCitation");
        QTest::newRow("the resolver's citation") << true;
        QTest::newRow("no citation anywhere") << false;
    }

    void doiContentNegotiation()
    {
        QFETCH(bool, resolverHasCitation);
        FServer = std::make_unique<TLoopbackHttpServer>([resolverHasCitation](const TRequest &request) {
            const bool asksRis = request.Headers.value("accept") == "application/x-research-info-systems";
            if (request.Target == "http://dx.doi.org/10.5555/12345678")
                return asksRis && resolverHasCitation ? Redirect("http://data.crossref.org/10.5555/12345678")
                                                      : asksRis ? TResponse{404, {}, "unknown"} : Redirect("http://www.example.org/landing");
            if (request.Target == "http://data.crossref.org/10.5555/12345678")
                return TResponse{200, {{"Content-Type", "application/x-research-info-systems"}}, "\xEF\xBB\xBF" + Ris};
            if (request.Target == "http://www.example.org/landing")
                return Page("<html>a page of no known site</html>");
            return TResponse{404, {}, {}};
        });
        QString pdf;
        QStringList ris;
        Parser().GetInfo(QStringLiteral("https://dx.doi.org/10.5555/12345678"), pdf, &ris, false);
        QVERIFY(pdf.isEmpty());
        QCOMPARE(ris.value(0), resolverHasCitation ? QStringLiteral("TY  - JOUR") : QString());
        QCOMPARE(FServer->Requests().size(), resolverHasCitation ? 4 : 3);
    }

    // [Web] in varnel.ini puts another host in place of a site's: here the resolver is the loopback server,
    // reached directly.
    void sitesFromSettings()
    {
        FServer = std::make_unique<TLoopbackHttpServer>([](const TRequest &request) {
            if (request.Target == "/10.5555/1" && request.Headers.value("accept") == "application/x-research-info-systems")
                return TResponse{200, {}, Ris};
            return TResponse{404, {}, {}};
        });
        FConfig->IniFile().WriteString(QStringLiteral("Web"), QStringLiteral("DoiResolver"),
                                       QStringLiteral("127.0.0.1:%1").arg(FServer->Port()));
        const TWebSites sites = TWebSites::FromIni(FConfig->IniFile());
        QCOMPARE(sites.ScienceDirect, QStringLiteral("www.sciencedirect.com"));
        TWebParser parser(nullptr, sites);
        QString pdf;
        QStringList ris;
        parser.GetInfo(QStringLiteral("doi:10.5555/1"), pdf, &ris, false);
        QCOMPARE(ris.value(1), QStringLiteral("T1  - Friction of thin films"));
    }

    // Failures of a site's page are raised with the HTTP status; a redirect loop ends with an error rather
    // than hanging; a page without markers gives nothing.
    void failures()
    {
        FPages["http://pubs.acs.org/doi/abs/broken"] = {500, {}, "oops"};
        FPages["http://pubs.acs.org/doi/abs/loop"] = Redirect("http://pubs.acs.org/doi/abs/loop");
        FPages["http://pubs.acs.org/doi/abs/plain"] = Page("<html>no markers</html>");
        QString pdf = QStringLiteral("kept");
        QStringList ris;
        TWebParser parser = Parser();
        try {
            parser.GetInfo(QStringLiteral("http://pubs.acs.org/doi/abs/broken"), pdf, &ris, false);
            QFAIL("no error raised");
        } catch (const EHttpError &error) {
            QCOMPARE(error.Status(), 500);
        }
        QVERIFY_THROWS_EXCEPTION(EHttpError, parser.GetInfo(QStringLiteral("http://pubs.acs.org/doi/abs/loop"), pdf, &ris, false));
        // A body announced far larger than what comes is a failure, not a page.
        FPages["http://pubs.acs.org/doi/abs/huge"] = {200, {}, "<html>", qint64(2) << 30};
        QVERIFY_THROWS_EXCEPTION(EHttpError, parser.GetInfo(QStringLiteral("http://pubs.acs.org/doi/abs/huge"), pdf, &ris, false));
        parser.GetInfo(QStringLiteral("http://pubs.acs.org/doi/abs/plain"), pdf, &ris, false);
        QCOMPARE(pdf, QStringLiteral("kept"));
        QVERIFY(ris.isEmpty());
        parser.GetInfo(QStringLiteral("http://www.example.org/unknown-site"), pdf, &ris, false);
        QCOMPARE(FServer->Requests().last().Target, QByteArray("http://pubs.acs.org/doi/abs/plain"));
    }
};

QTEST_GUILESS_MAIN(TestWebParser)
#include "tst_webparser.moc"
