#pragma once

#include "wordlink/WordDocument.h"

#include <QStringList>

#include <memory>

class TWriterDocument;

// A connection to a running LibreOffice Writer, started so that it listens ("soffice --accept=..."), through
// its connection string ("socket,host=127.0.0.1,port=2002;urp"). Raises EVarnelError "Error. LibreOffice Writer
// is not running!" with the way to start it when nothing answers.
class TWriterConnection
{
public:
    explicit TWriterConnection(const QString &connection);
    ~TWriterConnection();
    TWriterConnection(const TWriterConnection &) = delete;
    TWriterConnection &operator=(const TWriterConnection &) = delete;

    // The text document the user works in: the current one, else the first text document open.
    std::unique_ptr<TWriterDocument> CurrentDocument();
    // A new empty text document, or a document file opened (shown unless hidden).
    std::unique_ptr<TWriterDocument> NewDocument();
    std::unique_ptr<TWriterDocument> OpenDocument(const QString &fileName);
    // Asks the office to end.
    void Terminate();

    struct TImpl;

private:
    std::unique_ptr<TImpl> FImpl;
};

// A Writer text document as the word-link operations use it. A citation is a bibliography field whose
// identifier is the paper's tag and whose fields carry the source data (type, title, year, authors, journal
// abbreviation, pages, volume, issue); the document's sources are the distinct citations in it. The field master
// numbers the entries in document order, so citations show "[1]", "[2]", ... once refreshed.
class TWriterDocument final : public TWordDocument
{
public:
    struct TImpl;
    explicit TWriterDocument(std::unique_ptr<TImpl> impl);
    ~TWriterDocument() override;

    int SourceCount() override;
    QString SourceXml(int index) override;
    void AddSource(const TCitationSource &source) override;
    int FieldCount() override;
    int FieldType(int index) override;
    QString FieldCode(int index) override;
    QString FieldResult(int index) override;
    void SetFieldLocked(int index, bool locked) override;
    void SelectField(int index) override;
    void UpdateFields() override;
    void InsertCitation(const QString &tag) override;
    void GoToStart() override;
    QString SelectionText() override;
    void DeleteSelection() override;
    void InsertAfterSelection(const QString &text) override;
    void PasteRtf(const QString &plainText, const QByteArray &rtf) override;
    void ReplaceAll(const QString &text, const QString &replacement) override;
    bool FindBracketed() override;

    // For tools and tests: the body text as shown (paragraphs joined by "\n"), the texts set in bold, typing at
    // the cursor (a new paragraph for "\n"), the cursor at the end, saving under a file name (the format by its
    // extension: .odt or .docx) and closing.
    QString Text();
    QStringList BoldTexts();
    void TypeText(const QString &text);
    void GoToEnd();
    void SaveAs(const QString &fileName);
    void Close();

private:
    std::unique_ptr<TImpl> FImpl;
};
