#pragma once

#include <QStackedWidget>

class QLabel;
class QPdfDocument;
class QPdfView;

// The panel that shows a paper's PDF inside the window. It keeps one document: showing the same file again
// just shows it, another file gets a fresh document, and Clear closes the file so that it can be moved or
// deleted. Without a document the panel shows its caption ("pdf is not available", "pdf was not found").
class TPdfViewer final : public QStackedWidget
{
    Q_OBJECT

public:
    explicit TPdfViewer(QWidget *parent = nullptr);
    ~TPdfViewer() override;

    void SetPdfFileName(const QString &fileName) { FPDFFileName = fileName; }
    QString PdfFileName() const { return FPDFFileName; }
    // The viewer options: the external program and its folder (for reading a paper outside the window) and
    // the parameters, whose zoom ("fit width", "fit page" or a percentage) is the panel's starting zoom.
    void Setup(const QString &exeName, const QString &path, const QString &params);
    QString ExeName() const { return FExeName; }
    QString Path() const { return FPath; }
    QString Params() const { return FParams; }

    void View();
    void Clear();

    QString Caption() const;
    bool IsShowingDocument() const;
    QString LastFile() const { return FLastFile; }
    QPdfView *PdfView() const { return FView; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowCaption(const QString &caption);
    void CloseDocument();
    void ApplyZoom();

    QString FPath;
    QString FLastFile;
    QString FExeName;
    QString FParams;
    QString FPDFFileName;
    QLabel *FCaption = nullptr;
    QPdfView *FView = nullptr;
    QPdfDocument *FDocument = nullptr;
};
