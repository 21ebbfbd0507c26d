#include "PdfViewer.h"

#include <QFileInfo>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QRegularExpression>
#include <QWheelEvent>

TPdfViewer::TPdfViewer(QWidget *parent)
    : QStackedWidget(parent)
{
    FCaption = new QLabel;
    FCaption->setAlignment(Qt::AlignCenter);
    FCaption->setForegroundRole(QPalette::PlaceholderText);
    addWidget(FCaption);
    FView = new QPdfView;
    FView->setPageMode(QPdfView::PageMode::MultiPage);
    FView->viewport()->installEventFilter(this);
    addWidget(FView);
    FDocument = new QPdfDocument(this);
    ShowCaption(QStringLiteral("pdf is not available"));
}

TPdfViewer::~TPdfViewer()
{
    CloseDocument();
}

void TPdfViewer::Setup(const QString &exeName, const QString &path, const QString &params)
{
    FExeName = exeName;
    FPath = path;
    FParams = params;
    ApplyZoom();
}

// The zoom parameter as the viewer program takes it: -zoom "fit width" | "fit page" | a percentage.
void TPdfViewer::ApplyZoom()
{
    static const QRegularExpression zoom(QStringLiteral("-zoom\\s+\"?([^\"]+)\"?"));
    const QString value = zoom.match(FParams).captured(1).trimmed().toLower();
    if (value == QLatin1String("fit page")) {
        FView->setZoomMode(QPdfView::ZoomMode::FitInView);
    } else if (bool ok = false; value.toDouble(&ok), ok && value.toDouble() > 0) {
        FView->setZoomMode(QPdfView::ZoomMode::Custom);
        FView->setZoomFactor(value.toDouble() / 100.0);
    } else {
        FView->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    }
}

void TPdfViewer::View()
{
    if (!QFileInfo(FPDFFileName).isFile()) {
        // The panel never goes on showing another paper's document under this caption.
        CloseDocument();
        ShowCaption(QStringLiteral("pdf was not found"));
        return;
    }
    if (FPDFFileName != FLastFile || FDocument->status() != QPdfDocument::Status::Ready) {
        CloseDocument();
        if (FDocument->load(FPDFFileName) != QPdfDocument::Error::None) {
            FDocument->close();
            ShowCaption(QStringLiteral("pdf is not available"));
            return;
        }
        FView->setDocument(FDocument);
        ApplyZoom();
        FView->pageNavigator()->jump(0, {}, FView->zoomFactor());
        FLastFile = FPDFFileName;
    }
    setCurrentWidget(FView);
}

void TPdfViewer::Clear()
{
    CloseDocument();
    ShowCaption(QStringLiteral("pdf is not available"));
}

void TPdfViewer::CloseDocument()
{
    FView->setDocument(nullptr);
    FDocument->close(); // the file is free to be moved or deleted
    FLastFile.clear();
}

void TPdfViewer::ShowCaption(const QString &caption)
{
    FCaption->setText(caption);
    setCurrentWidget(FCaption);
}

QString TPdfViewer::Caption() const
{
    return FCaption->text();
}

bool TPdfViewer::IsShowingDocument() const
{
    return currentWidget() == FView && FDocument->status() == QPdfDocument::Status::Ready;
}

bool TPdfViewer::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+wheel zooms in steps of a tenth, as readers expect.
    if (watched == FView->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const qreal factor = FView->zoomFactor() * (wheel->angleDelta().y() > 0 ? 1.1 : 1 / 1.1);
            FView->setZoomMode(QPdfView::ZoomMode::Custom);
            FView->setZoomFactor(std::clamp(factor, 0.1, 10.0));
            return true;
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}
