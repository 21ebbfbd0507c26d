#include "WriterDocument.h"

#include "shell/VarnelError.h"
#include "wordlink/CitationSource.h"

#include <QFileInfo>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/datatransfer/DataFlavor.hpp>
#include <com/sun/star/datatransfer/UnsupportedFlavorException.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XDocumentIndex.hpp>
#include <com/sun/star/text/XDocumentIndexesSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XRefreshable.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <csignal>
#include <functional>
#include <vector>

using namespace com::sun::star;
using rtl::OUString;
using uno::Any;
using uno::Reference;
using uno::Sequence;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

const char *const BibliographyField = "com.sun.star.text.textfield.Bibliography";
const char *const BibliographyMaster = "com.sun.star.text.fieldmaster.Bibliography";

OUString U(const QString &text)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), sal_Int32(text.size()));
}

OUString U(const char *text)
{
    return OUString::createFromAscii(text);
}

QString Q(const OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

// Every call into the office: its exceptions become ours, with the office's reason.
template <class TResult> TResult Office(const std::function<TResult()> &call)
{
    try {
        return call();
    } catch (const uno::Exception &error) {
        throw EVarnelError(QStringLiteral("LibreOffice Writer: %1").arg(Q(error.Message)));
    }
}

void Office(const std::function<void()> &call)
{
    Office<int>([&] {
        call();
        return 0;
    });
}

// The process's own UNO environment, made once: the type and service registries of the installed office.
Reference<uno::XComponentContext> LocalContext()
{
    static const Reference<uno::XComponentContext> context = [] {
        if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
            qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc");
        std::signal(SIGPIPE, SIG_IGN); // a closed connection must not end the program
        try {
            return cppu::defaultBootstrap_InitialComponentContext();
        } catch (const cppu::BootstrapException &error) {
            throw EVarnelError(QStringLiteral("LibreOffice could not be loaded: %1").arg(Q(error.getMessage())));
        }
    }();
    return context;
}

QString NotRunning(const QString &connection)
{
    return QStringLiteral("Error. LibreOffice Writer is not running!\nStart it so that it listens for Varnel, "
                          "for instance:\nsoffice --accept=\"%1;\"")
        .arg(connection);
}

// The pasted reference list: RTF bytes offered to the office without going through the clipboard.
class TRtfTransferable final : public cppu::WeakImplHelper1<datatransfer::XTransferable>
{
public:
    explicit TRtfTransferable(const QByteArray &rtf)
        : FData(reinterpret_cast<const sal_Int8 *>(rtf.constData()), sal_Int32(rtf.size()))
    { }

    Any SAL_CALL getTransferData(const datatransfer::DataFlavor &flavor) override
    {
        if (!isDataFlavorSupported(flavor))
            throw datatransfer::UnsupportedFlavorException();
        return Any(FData);
    }

    Sequence<datatransfer::DataFlavor> SAL_CALL getTransferDataFlavors() override
    {
        Sequence<datatransfer::DataFlavor> flavors(1);
        flavors.getArray()[0] = Flavor();
        return flavors;
    }

    sal_Bool SAL_CALL isDataFlavorSupported(const datatransfer::DataFlavor &flavor) override
    {
        return flavor.MimeType.startsWith("text/rtf");
    }

private:
    static datatransfer::DataFlavor Flavor()
    {
        datatransfer::DataFlavor flavor;
        flavor.MimeType = U("text/rtf");
        flavor.HumanPresentableName = U("Rich Text Format");
        flavor.DataType = cppu::UnoType<Sequence<sal_Int8>>::get();
        return flavor;
    }

    Sequence<sal_Int8> FData;
};

beans::PropertyValue Property(const char *name, const Any &value)
{
    beans::PropertyValue property;
    property.Name = U(name);
    property.Value = value;
    return property;
}

// The bibliography entry's fields of a source: an article, its authors as "Last, First; Last, First".
Sequence<beans::PropertyValue> EntryOf(const TCitationSource &source)
{
    QStringList authors;
    for (const auto &[last, first] : source.Authors)
        authors << (first.isEmpty() ? last : last + QStringLiteral(", ") + first);
    const QString pages = source.LastPage.isEmpty() ? source.FirstPage : source.FirstPage + u'-' + source.LastPage;
    const beans::PropertyValue values[]
        = {Property("Identifier", Any(U(source.Tag))), Property("BibiliographicType", Any(sal_Int16(0))), // an article
            Property("Author", Any(U(authors.join(QStringLiteral("; "))))), Property("Title", Any(U(source.Title))),
            Property("Year", Any(U(source.Year ? QString::number(source.Year) : QString()))),
            Property("Journal", Any(U(source.Journal))), Property("Pages", Any(U(pages))),
            Property("Volume", Any(U(source.Volume))), Property("Number", Any(U(source.Issue)))};
    return Sequence<beans::PropertyValue>(values, sal_Int32(std::size(values)));
}

// A citation imported from a .docx file keeps its field code as the identifier (' CITATION  "tag"'): the tag
// is the code's first argument.
QString TagOfIdentifier(QString identifier)
{
    identifier = identifier.trimmed();
    if (identifier.startsWith(QLatin1String("CITATION "))) {
        identifier = identifier.mid(9).trimmed().section(u' ', 0, 0);
        identifier.remove(u'"');
    }
    return identifier;
}

// The source a bibliography field carries (as EntryOf wrote it, or as the user filled it in).
TCitationSource SourceOfEntry(const Sequence<beans::PropertyValue> &entry)
{
    TCitationSource source;
    for (const beans::PropertyValue &value : entry) {
        OUString text;
        value.Value >>= text;
        const QString field = Q(value.Name);
        if (field == QLatin1String("Identifier"))
            source.Tag = TagOfIdentifier(Q(text));
        else if (field == QLatin1String("Title"))
            source.Title = Q(text);
        else if (field == QLatin1String("Year"))
            source.Year = Q(text).toInt();
        else if (field == QLatin1String("Journal"))
            source.Journal = Q(text);
        else if (field == QLatin1String("Volume"))
            source.Volume = Q(text);
        else if (field == QLatin1String("Number"))
            source.Issue = Q(text);
        else if (field == QLatin1String("Pages")) {
            const QStringList pages = Q(text).split(u'-');
            source.FirstPage = pages.value(0);
            source.LastPage = pages.value(1);
        } else if (field == QLatin1String("Author")) {
            for (const QString &author : Q(text).split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
                const qsizetype comma = author.indexOf(QLatin1String(", "));
                source.Authors.append(
                    comma < 0 ? std::pair {author, QString()} : std::pair {author.left(comma), author.mid(comma + 2)});
            }
        }
    }
    return source;
}

// The view cursor as the text range the text calls take.
Reference<text::XTextRange> Range(const Reference<text::XTextViewCursor> &cursor)
{
    return Reference<text::XTextRange>(cursor.get());
}

bool Supports(const Reference<uno::XInterface> &object, const char *service)
{
    const Reference<lang::XServiceInfo> info(object, UNO_QUERY);
    return info.is() && info->supportsService(U(service));
}

// The text fields of a text in document order: paragraph by paragraph, portion by portion, tables cell by cell.
void CollectFields(const Reference<text::XText> &text, std::vector<Reference<text::XTextField>> &fields)
{
    const Reference<container::XEnumeration> paragraphs
        = Reference<container::XEnumerationAccess>(text, UNO_QUERY_THROW)->createEnumeration();
    while (paragraphs->hasMoreElements()) {
        const Reference<uno::XInterface> paragraph(paragraphs->nextElement(), UNO_QUERY);
        if (Supports(paragraph, "com.sun.star.text.TextTable")) {
            const Reference<text::XTextTable> table(paragraph, UNO_QUERY_THROW);
            for (const OUString &name : table->getCellNames())
                CollectFields(Reference<text::XText>(table->getCellByName(name), UNO_QUERY_THROW), fields);
            continue;
        }
        const Reference<container::XEnumerationAccess> portionsAccess(paragraph, UNO_QUERY);
        if (!portionsAccess.is())
            continue;
        const Reference<container::XEnumeration> portions = portionsAccess->createEnumeration();
        while (portions->hasMoreElements()) {
            const Reference<beans::XPropertySet> portion(portions->nextElement(), UNO_QUERY);
            OUString type;
            if (!portion.is() || !(portion->getPropertyValue(U("TextPortionType")) >>= type) || type != "TextField")
                continue;
            const Reference<text::XTextField> field(portion->getPropertyValue(U("TextField")), UNO_QUERY);
            if (field.is())
                fields.push_back(field);
        }
    }
}

QString FilterFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("odt"))
        return QStringLiteral("writer8");
    if (suffix == QLatin1String("docx"))
        return QStringLiteral("MS Word 2007 XML");
    throw EVarnelError(QStringLiteral("Documents are saved as .odt or .docx, not \"%1\".").arg(fileName));
}

} // namespace

// --- the connection -------------------------------------------------------------------------------------------

struct TWriterConnection::TImpl
{
    Reference<uno::XComponentContext> Context;
    Reference<frame::XDesktop2> Desktop;
};

struct TWriterDocument::TImpl
{
    Reference<text::XTextDocument> Document;
    Reference<frame::XController> Controller;
    Reference<text::XTextViewCursor> Cursor;
    // What the document holds, read once after every change: its fields in order and the sources of its
    // citations (each tag once, in order of first citation).
    std::vector<Reference<text::XTextField>> Fields;
    std::vector<TCitationSource> Cited;
    bool FieldsKnown = false;
    std::vector<TCitationSource> Pending; // sources added for citations still to be inserted

    explicit TImpl(const Reference<text::XTextDocument> &document)
        : Document(document)
    {
        Controller = Reference<frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController();
        if (!Controller.is())
            throw EVarnelError(QStringLiteral("The LibreOffice Writer document has no window to work in."));
        Cursor = Reference<text::XTextViewCursorSupplier>(Controller, UNO_QUERY_THROW)->getViewCursor();
    }

    const std::vector<Reference<text::XTextField>> &AllFields()
    {
        if (!FieldsKnown) {
            Fields.clear();
            Cited.clear();
            CollectFields(Document->getText(), Fields);
            QStringList tags;
            for (const auto &field : Fields) {
                if (!IsCitation(field))
                    continue;
                TCitationSource source = SourceOfField(field);
                if (!tags.contains(source.Tag)) {
                    tags << source.Tag;
                    Cited.push_back(std::move(source));
                }
            }
            FieldsKnown = true;
        }
        return Fields;
    }

    void Changed() { FieldsKnown = false; }

    const Reference<text::XTextField> &Field(int index)
    {
        const auto &fields = AllFields();
        if (index < 1 || index > int(fields.size()))
            throw EVarnelError(QStringLiteral("The document has no field %1.").arg(index));
        return fields[std::size_t(index - 1)];
    }

    static bool IsCitation(const Reference<text::XTextField> &field) { return Supports(field, BibliographyField); }

    static TCitationSource SourceOfField(const Reference<text::XTextField> &field)
    {
        Sequence<beans::PropertyValue> entry;
        Reference<beans::XPropertySet>(field, UNO_QUERY_THROW)->getPropertyValue(U("Fields")) >>= entry;
        return SourceOfEntry(entry);
    }

    // The document's sources: each citation's once, in document order, then those added for citations to come.
    std::vector<TCitationSource> Sources()
    {
        AllFields();
        std::vector<TCitationSource> sources = Cited;
        for (const TCitationSource &source : Pending)
            if (std::none_of(
                    Cited.begin(), Cited.end(), [&source](const auto &cited) { return cited.Tag == source.Tag; }))
                sources.push_back(source);
        return sources;
    }

    // Citations are numbered "[1]", "[2]", ... in document order.
    void NumberEntries()
    {
        const Reference<container::XNameAccess> masters
            = Reference<text::XTextFieldsSupplier>(Document, UNO_QUERY_THROW)->getTextFieldMasters();
        Reference<beans::XPropertySet> master;
        if (masters->hasByName(U(BibliographyMaster)))
            masters->getByName(U(BibliographyMaster)) >>= master;
        if (!master.is())
            return;
        master->setPropertyValue(U("IsNumberEntries"), Any(true));
        master->setPropertyValue(U("IsSortByPosition"), Any(true));
        master->setPropertyValue(U("BracketBefore"), Any(U("[")));
        master->setPropertyValue(U("BracketAfter"), Any(U("]")));
    }

    void Refresh()
    {
        NumberEntries();
        Reference<util::XRefreshable>(
            Reference<text::XTextFieldsSupplier>(Document, UNO_QUERY_THROW)->getTextFields(), UNO_QUERY_THROW)
            ->refresh();
        const Reference<container::XIndexAccess> indexes
            = Reference<text::XDocumentIndexesSupplier>(Document, UNO_QUERY_THROW)->getDocumentIndexes();
        for (sal_Int32 i = 0; i < indexes->getCount(); ++i) {
            // A bibliography index shows the cited entries; update() is its only refresh in this API.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
            Reference<text::XDocumentIndex>(indexes->getByIndex(i), UNO_QUERY_THROW)->update();
#pragma GCC diagnostic pop
        }
    }

    void Select(const Any &what)
    {
        Reference<view::XSelectionSupplier>(Controller, UNO_QUERY_THROW)->select(what);
    }
};

TWriterConnection::TWriterConnection(const QString &connection)
    : FImpl(std::make_unique<TImpl>())
{
    const Reference<uno::XComponentContext> local = LocalContext();
    try {
        const Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
        FImpl->Context.set(resolver->resolve(U(QStringLiteral("uno:%1;StarOffice.ComponentContext").arg(connection))),
            UNO_QUERY_THROW);
        FImpl->Desktop = frame::Desktop::create(FImpl->Context);
    } catch (const connection::NoConnectException &) {
        throw EVarnelError(NotRunning(connection));
    } catch (const uno::Exception &error) {
        throw EVarnelError(NotRunning(connection) + QStringLiteral("\n(%1)").arg(Q(error.Message)));
    }
}

TWriterConnection::~TWriterConnection() = default;

std::unique_ptr<TWriterDocument> TWriterConnection::CurrentDocument()
{
    return Office<std::unique_ptr<TWriterDocument>>([this] {
        Reference<text::XTextDocument> document(FImpl->Desktop->getCurrentComponent(), UNO_QUERY);
        if (!document.is()) {
            const Reference<container::XEnumeration> open = FImpl->Desktop->getComponents()->createEnumeration();
            while (!document.is() && open->hasMoreElements())
                document.set(open->nextElement(), UNO_QUERY);
        }
        if (!document.is())
            throw EVarnelError(QStringLiteral("No text document is open in LibreOffice Writer."));
        return std::make_unique<TWriterDocument>(std::make_unique<TWriterDocument::TImpl>(document));
    });
}

std::unique_ptr<TWriterDocument> TWriterConnection::OpenDocument(const QString &fileName)
{
    return Office<std::unique_ptr<TWriterDocument>>([&] {
        const QString url = fileName.isEmpty() ? QStringLiteral("private:factory/swriter")
                                               : QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toString();
        const Reference<text::XTextDocument> document(
            Reference<frame::XComponentLoader>(FImpl->Desktop, UNO_QUERY_THROW)
                ->loadComponentFromURL(U(url), U("_blank"), 0, Sequence<beans::PropertyValue>()),
            UNO_QUERY);
        if (!document.is())
            throw EVarnelError(
                QStringLiteral("LibreOffice Writer could not open \"%1\" as a text document.").arg(fileName));
        return std::make_unique<TWriterDocument>(std::make_unique<TWriterDocument::TImpl>(document));
    });
}

std::unique_ptr<TWriterDocument> TWriterConnection::NewDocument()
{
    return OpenDocument(QString());
}

void TWriterConnection::Terminate()
{
    try {
        FImpl->Desktop->terminate();
    } catch (const uno::Exception &) {
        // the office went away while ending: what was asked for
    }
}

// --- the document ---------------------------------------------------------------------------------------------

TWriterDocument::TWriterDocument(std::unique_ptr<TImpl> impl)
    : FImpl(std::move(impl))
{ }

TWriterDocument::~TWriterDocument() = default;

int TWriterDocument::SourceCount()
{
    return Office<int>([this] { return int(FImpl->Sources().size()); });
}

QString TWriterDocument::SourceXml(int index)
{
    return Office<QString>([&] {
        const std::vector<TCitationSource> sources = FImpl->Sources();
        if (index < 1 || index > int(sources.size()))
            throw EVarnelError(QStringLiteral("The document has no source %1.").arg(index));
        return CitationSourceXml(sources[std::size_t(index - 1)]);
    });
}

void TWriterDocument::AddSource(const TCitationSource &source)
{
    FImpl->Pending.push_back(source);
}

int TWriterDocument::FieldCount()
{
    return Office<int>([this] { return int(FImpl->AllFields().size()); });
}

int TWriterDocument::FieldType(int index)
{
    return Office<int>([&] { return TImpl::IsCitation(FImpl->Field(index)) ? CitationFieldType : 0; });
}

QString TWriterDocument::FieldCode(int index)
{
    return Office<QString>([&] {
        const Reference<text::XTextField> &field = FImpl->Field(index);
        if (!TImpl::IsCitation(field))
            return Q(field->getPresentation(true));
        return QStringLiteral(" CITATION %1 ").arg(TImpl::SourceOfField(field).Tag);
    });
}

QString TWriterDocument::FieldResult(int index)
{
    return Office<QString>([&] { return Q(FImpl->Field(index)->getPresentation(false)); });
}

void TWriterDocument::SetFieldLocked(int, bool)
{
    // Writer's fields have no lock: a field is changed only by a refresh of its own kind.
}

void TWriterDocument::SelectField(int index)
{
    Office([&] { FImpl->Select(Any(FImpl->Field(index)->getAnchor())); });
}

void TWriterDocument::UpdateFields()
{
    Office([this] {
        FImpl->Refresh();
        FImpl->Changed();
    });
}

void TWriterDocument::InsertCitation(const QString &tag)
{
    Office([&] {
        // The field carries its source's data: the one added for it, or that of an earlier citation of the tag.
        TCitationSource source;
        source.Tag = tag;
        for (const TCitationSource &known : FImpl->Sources())
            if (known.Tag == tag) {
                source = known;
                break;
            }
        const Reference<text::XTextContent> field(
            Reference<lang::XMultiServiceFactory>(FImpl->Document, UNO_QUERY_THROW)
                ->createInstance(U(BibliographyField)),
            UNO_QUERY_THROW);
        Reference<beans::XPropertySet>(field, UNO_QUERY_THROW)->setPropertyValue(U("Fields"), Any(EntryOf(source)));
        const Reference<text::XTextViewCursor> &cursor = FImpl->Cursor;
        cursor->getText()->insertTextContent(Range(cursor), field, !cursor->isCollapsed());
        cursor->collapseToEnd();
        FImpl->Changed();
    });
}

void TWriterDocument::GoToStart()
{
    Office([this] { FImpl->Cursor->gotoStart(false); });
}

void TWriterDocument::GoToEnd()
{
    Office([this] { FImpl->Cursor->gotoEnd(false); });
}

QString TWriterDocument::SelectionText()
{
    return Office<QString>([this] { return Q(FImpl->Cursor->getString()); });
}

void TWriterDocument::DeleteSelection()
{
    Office([this] {
        const Reference<text::XTextViewCursor> &cursor = FImpl->Cursor;
        if (cursor->isCollapsed())
            return;
        cursor->getText()->insertString(Range(cursor), OUString(), true);
        FImpl->Changed();
    });
}

void TWriterDocument::InsertAfterSelection(const QString &text)
{
    Office([&] {
        const Reference<text::XTextViewCursor> &cursor = FImpl->Cursor;
        cursor->getText()->insertString(cursor->getEnd(), U(text), false);
        FImpl->Changed();
    });
}

void TWriterDocument::PasteRtf(const QString &, const QByteArray &rtf)
{
    Office([&] {
        Reference<datatransfer::XTransferableSupplier>(FImpl->Controller, UNO_QUERY_THROW)
            ->insertTransferable(new TRtfTransferable(rtf));
        FImpl->Changed();
    });
}

void TWriterDocument::ReplaceAll(const QString &text, const QString &replacement)
{
    Office([&] {
        const Reference<util::XReplaceable> replaceable(FImpl->Document, UNO_QUERY_THROW);
        const Reference<util::XReplaceDescriptor> descriptor = replaceable->createReplaceDescriptor();
        descriptor->setSearchString(U(text));
        descriptor->setReplaceString(U(replacement));
        replaceable->replaceAll(Reference<util::XSearchDescriptor>(descriptor.get()));
        FImpl->Changed();
    });
}

bool TWriterDocument::FindBracketed()
{
    return Office<bool>([this] {
        const Reference<util::XSearchable> searchable(FImpl->Document, UNO_QUERY_THROW);
        const Reference<util::XSearchDescriptor> descriptor = searchable->createSearchDescriptor();
        descriptor->setSearchString(U("\\[[^\\]]*\\]"));
        Reference<beans::XPropertySet>(descriptor, UNO_QUERY_THROW)
            ->setPropertyValue(U("SearchRegularExpression"), Any(true));
        Reference<uno::XInterface> hit = searchable->findNext(FImpl->Cursor->getEnd(), descriptor);
        if (!hit.is())
            hit = searchable->findFirst(descriptor); // on from the start of the document
        if (!hit.is())
            return false;
        FImpl->Select(Any(Reference<text::XTextRange>(hit, UNO_QUERY_THROW)));
        return true;
    });
}

QString TWriterDocument::Text()
{
    return Office<QString>([this] {
        QString text = Q(FImpl->Document->getText()->getString());
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        return text;
    });
}

QStringList TWriterDocument::BoldTexts()
{
    return Office<QStringList>([this] {
        QStringList bold;
        const Reference<container::XEnumeration> paragraphs
            = Reference<container::XEnumerationAccess>(FImpl->Document->getText(), UNO_QUERY_THROW)
                  ->createEnumeration();
        while (paragraphs->hasMoreElements()) {
            const Reference<container::XEnumerationAccess> paragraph(paragraphs->nextElement(), UNO_QUERY);
            if (!paragraph.is())
                continue;
            const Reference<container::XEnumeration> portions = paragraph->createEnumeration();
            while (portions->hasMoreElements()) {
                const Reference<text::XTextRange> portion(portions->nextElement(), UNO_QUERY);
                float weight = 0;
                Reference<beans::XPropertySet>(portion, UNO_QUERY_THROW)->getPropertyValue(U("CharWeight")) >>= weight;
                if (weight > 100 && !portion->getString().isEmpty())
                    bold << Q(portion->getString());
            }
        }
        return bold;
    });
}

void TWriterDocument::TypeText(const QString &text)
{
    Office([&] {
        const Reference<text::XTextViewCursor> &cursor = FImpl->Cursor;
        const QStringList paragraphs = text.split(u'\n');
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            if (i > 0)
                cursor->getText()->insertControlCharacter(
                    Range(cursor), text::ControlCharacter::PARAGRAPH_BREAK, false);
            cursor->getText()->insertString(Range(cursor), U(paragraphs[i]), false);
        }
        FImpl->Changed();
    });
}

void TWriterDocument::SaveAs(const QString &fileName)
{
    const QString filter = FilterFor(fileName);
    Office([&] {
        const beans::PropertyValue arguments[]
            = {Property("FilterName", Any(U(filter))), Property("Overwrite", Any(true))};
        Reference<frame::XStorable>(FImpl->Document, UNO_QUERY_THROW)
            ->storeAsURL(U(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toString()),
                Sequence<beans::PropertyValue>(arguments, 2));
    });
}

void TWriterDocument::Close()
{
    Office([this] { Reference<util::XCloseable>(FImpl->Document, UNO_QUERY_THROW)->close(true); });
}
