// The retriever's page steps: every page and form answer of every known site is the input, so the steps that
// find the citation form, the PDF link and the citation in a page's text meet any text.
#include "FuzzSupport.h"
#include "web/HttpSession.h"
#include "web/WebParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    const QByteArray page = Fuzz::Bytes(data, size);
    static const char *const addresses[] = {"http://www.sciencedirect.com/science/article/pii/S1",
        "http://www.springerlink.com/content/k1/", "http://scitation.aip.org/content/aip/journal/apl/1/1/1",
        "http://avs.org/doi/1", "http://journals.cambridge.org/action/displayAbstract?aid=1",
        "http://link.aps.org/doi/10.1103/PhysRev.1.1", "http://iopscience.iop.org/0022-3727/1/1/001",
        "http://pubs.acs.org/doi/abs/10.1021/ja0001", "https://doi.org/10.5555/12345678"};
    for (const char *address : addresses) {
        TWebParser parser;
        parser.Http().Responder = [&page](const QByteArray &, const QUrl &, const QByteArray &) { return page; };
        QString pdf;
        QStringList ris;
        try {
            parser.GetInfo(QString::fromLatin1(address), pdf, &ris, false);
        } catch (const EVarnelError &) { }
    }
    return 0;
}
