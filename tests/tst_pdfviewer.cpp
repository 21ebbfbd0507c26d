#include "InfoPopup.h"
#include "PdfViewer.h"

#include <QApplication>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The viewer panel on real PDF files written here, and the progress popup and busy cursor.
class TestPdfViewer : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

    QString WritePdf(const QString &name, int pages)
    {
        const QString file = FDir.filePath(name);
        QPdfWriter writer(file);
        QPainter painter(&writer);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            painter.drawText(100, 100, QStringLiteral("Page %1 of %2").arg(page + 1).arg(name));
        }
        return file;
    }

private Q_SLOTS:
    // One document per panel: the same file again is only shown again, another file gets a fresh document,
    // a missing file says so, and Clear lets go of the file.
    void showsReusesAndReleases()
    {
        const QString first = WritePdf(QStringLiteral("first.pdf"), 2);
        const QString second = WritePdf(QStringLiteral("second.pdf"), 3);
        TPdfViewer viewer;
        QCOMPARE(viewer.Caption(), QStringLiteral("pdf is not available"));
        QPdfDocument *document = viewer.PdfView()->document();
        QVERIFY(!document);

        viewer.SetPdfFileName(first);
        viewer.View();
        QVERIFY(viewer.IsShowingDocument());
        document = viewer.PdfView()->document();
        QCOMPARE(document->pageCount(), 2);
        QSignalSpy loads(document, &QPdfDocument::statusChanged);
        viewer.View();
        QCOMPARE(loads.count(), 0); // the same file is not read again
        QVERIFY(viewer.IsShowingDocument());

        viewer.SetPdfFileName(second);
        viewer.View();
        QCOMPARE(viewer.PdfView()->document()->pageCount(), 3);
        QCOMPARE(viewer.LastFile(), second);

        viewer.SetPdfFileName(FDir.filePath(QStringLiteral("missing.pdf")));
        viewer.View();
        QVERIFY(!viewer.IsShowingDocument());
        QCOMPARE(viewer.Caption(), QStringLiteral("pdf was not found"));

        viewer.SetPdfFileName(first);
        viewer.View();
        viewer.Clear();
        QVERIFY(!viewer.IsShowingDocument());
        QCOMPARE(viewer.Caption(), QStringLiteral("pdf is not available"));
        QCOMPARE(document->status(), QPdfDocument::Status::Null);
        QVERIFY(viewer.LastFile().isEmpty());
    }

    // A file that is no PDF is not shown.
    void brokenFile()
    {
        const QString file = FDir.filePath(QStringLiteral("page.pdf"));
        QFile html(file);
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<html><body>Access denied</body></html>");
        html.close();
        TPdfViewer viewer;
        viewer.SetPdfFileName(file);
        viewer.View();
        QVERIFY(!viewer.IsShowingDocument());
        QCOMPARE(viewer.Caption(), QStringLiteral("pdf is not available"));
    }

    // The viewer parameters' zoom is the panel's starting zoom; fit width without one.
    void zoom_data()
    {
        QTest::addColumn<QString>("params");
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("factor");
        QTest::newRow("default") << QStringLiteral("-restrict -zoom \"fit width\"")
                                 << int(QPdfView::ZoomMode::FitToWidth) << 0.0;
        QTest::newRow("page") << QStringLiteral("-zoom \"fit page\"") << int(QPdfView::ZoomMode::FitInView) << 0.0;
        QTest::newRow("percent") << QStringLiteral("-zoom 150") << int(QPdfView::ZoomMode::Custom) << 1.5;
        QTest::newRow("none") << QString() << int(QPdfView::ZoomMode::FitToWidth) << 0.0;
    }

    void zoom()
    {
        QFETCH(QString, params);
        QFETCH(int, mode);
        QFETCH(double, factor);
        TPdfViewer viewer;
        viewer.Setup(QStringLiteral("/usr/bin/reader"), QStringLiteral("/tmp/"), params);
        QCOMPARE(int(viewer.PdfView()->zoomMode()), mode);
        if (factor > 0)
            QCOMPARE(viewer.PdfView()->zoomFactor(), factor);
    }

    // The popup shows and changes its text and goes away with its scope, also when the work fails; the busy
    // cursor lasts as long as the outermost scope.
    void progressPopupAndBusyCursor()
    {
        QVERIFY(InfoPopupText().isEmpty());
        SetInfoPopupText(QStringLiteral("ignored without a popup"));
        QVERIFY(InfoPopupText().isEmpty());
        try {
            const TCursorSaver busy;
            const TInfoPopupScope popup(QStringLiteral("Exporting RIS to folder ..."));
            QCOMPARE(InfoPopupText(), QStringLiteral("Exporting RIS to folder ..."));
            SetInfoPopupText(QStringLiteral("12 of 40"));
            QCOMPARE(InfoPopupText(), QStringLiteral("12 of 40"));
            {
                const TCursorSaver inner;
            }
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            throw std::runtime_error("failed");
        } catch (const std::runtime_error &) { }
        QVERIFY(InfoPopupText().isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestPdfViewer)
#include "tst_pdfviewer.moc"
