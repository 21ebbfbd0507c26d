#pragma once

#include <QString>

class TIniFile;

// The host names of the DOI resolver and of the publisher sites the retriever knows. The [Web] section of
// varnel.ini may replace any of them (key by key, a host with an optional port), so an institution's mirror or
// a local server can stand in. A site's registered domain is its host without the first label.
struct TWebSites
{
    QString DoiResolver = QStringLiteral("dx.doi.org");
    QString ScienceDirect = QStringLiteral("www.sciencedirect.com");
    QString SpringerLink = QStringLiteral("www.springerlink.com");
    QString AIP = QStringLiteral("scitation.aip.org"); // the platform host; the AIP test uses its domain
    QString AVS = QStringLiteral("avs.org"); // a domain: the AVS test is "avs.org/"
    QString Cambridge = QStringLiteral("journals.cambridge.org");
    QString APS = QStringLiteral("link.aps.org");
    QString IOP = QStringLiteral("iopscience.iop.org");
    QString ACS = QStringLiteral("pubs.acs.org");

    static TWebSites FromIni(const TIniFile &ini);
    static QString RegisteredDomain(const QString &host);
};
