// Writes the bundled sample archive: samples/sample.arc and its documents store. Every
// identifier, date and store folder is fixed, so running it again gives the same files.
//
//   make-sample <output folder>

#include "archive/archive_file.h"
#include "archive/tarchitem.h"
#include "markup/terror.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QHashSeed>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <tiffio.h>

#include <cstdio>

namespace {

const QString Store_Folder = QStringLiteral("2024-05-12");
const QString Font_Family = QStringLiteral("DejaVu Sans");

QString Fixed_Id(int n)
{
    return QStringLiteral("{7A51C0DE-2024-4512-8000-%1}").arg(n, 12, 10, QChar(u'0'));
}

// ---- page pictures -------------------------------------------------------------------

struct TLetter
{
    QString Sender;  // letterhead
    QString Heading;
    QStringList Lines;
    bool Rtl = false;
};

// A letter page drawn at the given resolution on an A4 sheet.
QImage Draw_Letter(const TLetter &letter, int dpi, QImage::Format format)
{
    const int w = 210 * dpi * 10 / 254;
    const int h = 297 * dpi * 10 / 254;
    QImage page(w, h, QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(dpi * 10000 / 254);
    page.setDotsPerMeterY(dpi * 10000 / 254);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int margin = w / 10;
    const Qt::Alignment side = (letter.Rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    const int lineHeight = dpi / 4;
    auto font = [&](double points, bool bold) {
        QFont f(Font_Family);
        f.setPixelSize(qMax(6, int(points * dpi / 72)));
        f.setBold(bold);
        return f;
    };

    p.setFont(font(14, true));
    p.setPen(QColor(0x1f, 0x3a, 0x5f));
    p.drawText(QRect(margin, dpi / 3, w - 2 * margin, lineHeight * 2), side, letter.Sender);
    p.fillRect(QRect(margin, dpi / 3 + lineHeight * 2, w - 2 * margin, qMax(1, dpi / 50)), QColor(0x1f, 0x3a, 0x5f));

    p.setPen(Qt::black);
    p.setFont(font(13, true));
    int y = dpi * 3 / 2;
    p.drawText(QRect(margin, y, w - 2 * margin, lineHeight * 2), Qt::AlignHCenter | Qt::AlignVCenter, letter.Heading);
    y += lineHeight * 3;

    p.setFont(font(10, false));
    for (const QString &line : letter.Lines) {
        QTextOption option(side | Qt::AlignAbsolute);
        option.setTextDirection(letter.Rtl ? Qt::RightToLeft : Qt::LeftToRight);
        option.setWrapMode(QTextOption::WordWrap);
        const QRect box(margin, y, w - 2 * margin, lineHeight * 4);
        const QRectF used = p.boundingRect(box, line, option);
        p.drawText(box, line, option);
        y += int(used.height()) + lineHeight / 2;
    }
    p.end();
    return page.convertToFormat(format);
}

void Save_Image(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    if (!image.save(path, format, quality))
        throw TError(QStringLiteral("Cannot write %1").arg(path));
}

// A multi-page bilevel TIFF with CCITT group 4 compression, the usual form of scanned mail.
void Save_Multi_Page_Tiff(const QList<QImage> &pages, const QString &path, int dpi)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        throw TError(QStringLiteral("Cannot write %1").arg(path));
    for (int n = 0; n < pages.size(); ++n) {
        const QImage grey = pages[n].convertToFormat(QImage::Format_Grayscale8);
        const int w = grey.width();
        const int h = grey.height();
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(dpi));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(dpi));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, n, int(pages.size()));
        QByteArray row((w + 7) / 8, '\0');
        for (int y = 0; y < h; ++y) {
            row.fill('\0');
            const uchar *src = grey.constScanLine(y);
            for (int x = 0; x < w; ++x)
                if (src[x] < 160)
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) {
                TIFFClose(tif);
                throw TError(QStringLiteral("Cannot write %1").arg(path));
            }
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
}

// A two-page contract. QPdfWriter stamps the current time into the file; the stamp is
// replaced by a fixed one of the same length so that the cross-reference table stays valid.
void Save_Contract_Pdf(const QString &path)
{
    {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(72);
        pdf.setTitle(QStringLiteral("Office lease contract"));
        pdf.setCreator(QStringLiteral("Tarsel Archive sample"));
        QPainter p(&pdf);
        const QStringList pages[] = {
            {QStringLiteral("OFFICE LEASE CONTRACT"),
             QStringLiteral("Between Al-Rawda Real Estate (the landlord)"),
             QStringLiteral("and Al-Noor Trading Company (the tenant)."),
             QString(),
             QStringLiteral("1. Premises: Office 402, Al-Rawda Tower, King Fahd Road."),
             QStringLiteral("2. Term: two years from 1 June 2024 to 31 May 2026."),
             QStringLiteral("3. Rent: 96,000 per year, paid in four instalments."),
             QStringLiteral("4. Deposit: 8,000, returned at the end of the term."),
             QString(),
             QStringLiteral("عقد إيجار مكتب")},
            {QStringLiteral("5. Maintenance of the premises is the landlord's duty."),
             QStringLiteral("6. Either party may end the lease with 90 days' notice."),
             QString(),
             QStringLiteral("Signed on 10 May 2024."),
             QString(),
             QStringLiteral("The landlord                         The tenant")},
        };
        const int w = pdf.width();
        for (int page = 0; page < 2; ++page) {
            if (page > 0)
                pdf.newPage();
            int y = 80;
            for (int i = 0; i < pages[page].size(); ++i) {
                const bool heading = page == 0 && i == 0;
                QFont f(Font_Family);
                f.setPointSize(heading ? 16 : 11);
                f.setBold(heading);
                p.setFont(f);
                p.drawText(QRect(60, y, w - 120, 24), Qt::AlignLeft | Qt::AlignVCenter, pages[page][i]);
                y += heading ? 40 : 28;
            }
        }
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw TError(QStringLiteral("Cannot read %1").arg(path));
    QByteArray data = f.readAll();
    f.close();
    static const QRegularExpression stamp(QStringLiteral("\\(D:\\d{14}[^)]*\\)"));
    QString latin = QString::fromLatin1(data);
    for (auto it = stamp.globalMatch(latin); it.hasNext();) {
        const auto m = it.next();
        // "(D:" and fourteen digits; the time zone that follows keeps its length
        const QString fixed = QStringLiteral("(D:20240512093000") + m.captured().mid(17);
        latin.replace(m.capturedStart(), m.capturedLength(), fixed);
    }
    data = latin.toLatin1();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        throw TError(QStringLiteral("Cannot write %1").arg(path));
}

// ---- the archive ---------------------------------------------------------------------

class TSample_Builder
{
public:
    TSample_Builder(TArchive &archive, QString scratch) : FArchive(archive), FScratch(std::move(scratch)) {}

    TDocument *Document(TOwnList<TDocument> &list, TArchItem *parent, const QString &name, const QString &type = {})
    {
        auto doc = std::make_unique<TDocument>();
        doc->Id = Fixed_Id(++FNextId);
        doc->Parent = parent;
        doc->Name = name;
        doc->A_Type = type;
        list.push_back(std::move(doc));
        return list.back().get();
    }
    TSubject *Subject(TOwnList<TSubject> &list, TArchItem *parent, const QString &name)
    {
        auto sub = std::make_unique<TSubject>();
        sub->Id = Fixed_Id(++FNextId);
        sub->Parent = parent;
        sub->Name = name;
        list.push_back(std::move(sub));
        return list.back().get();
    }
    TDocArchive *Folder(TOwnList<TDocArchive> &list, TArchItem *parent, const QString &name)
    {
        auto folder = std::make_unique<TDocArchive>();
        folder->Parent = parent;
        folder->Name = name;
        list.push_back(std::move(folder));
        return list.back().get();
    }
    TUnit *Unit(TUnit *parent, const QString &name, const QString &type)
    {
        auto unit = std::make_unique<TUnit>();
        unit->Id = Fixed_Id(++FNextId);
        unit->Parent = parent;
        unit->Name = name;
        unit->AType = type;
        parent->Units.push_back(std::move(unit));
        return parent->Units.back().get();
    }
    TPerson *Person(TUnit *unit, const QString &name, const QString &no)
    {
        auto person = std::make_unique<TPerson>();
        person->Id = Fixed_Id(++FNextId);
        person->Parent = unit;
        person->Name = name;
        person->No = no;
        person->Unit_Id = unit->Id;
        unit->Persons->Persons.push_back(std::move(person));
        return unit->Persons->Persons.back().get();
    }

    // Copies a file made in the scratch folder into the store and attaches it.
    void Attach(TDocument *doc, const QString &fileName)
    {
        const QString stored = FArchive.Store_File_In_Database(Store_Folder, FScratch + u'/' + fileName);
        if (stored.isEmpty())
            throw TError(QStringLiteral("Not stored: %1").arg(fileName));
        doc->Digital_Files.append(TDoc_Digital_File{stored, int(doc->Digital_Files.size())});
    }

private:
    TArchive &FArchive;
    QString FScratch;
    int FNextId = 0;
};

TMail Mail(int internal, int date, const QString &from, const QString &to, int delivery = 0)
{
    TMail m;
    m.Internal = internal;
    m.Date = date;
    m.Mail_From = from;
    m.Mail_To = to;
    m.Delivery_date = delivery;
    return m;
}

void Make_Files(const QString &scratch)
{
    const QString company = QStringLiteral("Al-Noor Trading Company  |  شركة النور للتجارة");

    Save_Image(Draw_Letter({company, QStringLiteral("خطاب تعيين"),
                            {QStringLiteral("السيدة سارة محمود المحترمة،"),
                             QStringLiteral("يسرنا إبلاغكم بتعيينكم في وظيفة أخصائية موارد بشرية اعتباراً من ١ يونيو ٢٠٢٤."),
                             QStringLiteral("الراتب الشهري ومزايا الوظيفة مبينة في العقد المرفق."),
                             QStringLiteral("نرجو مراجعة قسم الموارد البشرية لاستكمال إجراءات التعيين."),
                             QStringLiteral("مع أطيب التمنيات،"), QStringLiteral("مدير الموارد البشرية")},
                            true},
                           60, QImage::Format_Grayscale8),
               scratch + QStringLiteral("/appointment_letter.png"), "PNG");

    Save_Image(Draw_Letter({QStringLiteral("Gulf Supplies Ltd."), QStringLiteral("Price offer for office furniture"),
                            {QStringLiteral("Dear Sirs,"),
                             QStringLiteral("Further to your enquiry of 28 April 2024, we are pleased to offer "
                                            "40 desks and 40 chairs at the prices listed overleaf."),
                             QStringLiteral("Delivery within three weeks of your order; prices hold until 30 June 2024."),
                             QStringLiteral("Yours faithfully,"), QStringLiteral("K. Haddad, Sales Manager")},
                            false},
                           60, QImage::Format_RGB32),
               scratch + QStringLiteral("/gulf_supplies_offer.jpg"), "JPEG", 60);

    Save_Image(Draw_Letter({company, QStringLiteral("Annex A: floor plan, office 402"),
                            {QStringLiteral("Reception, 4 offices, meeting room, archive room, kitchen."),
                             QStringLiteral("Total area 210 square metres.")},
                            false},
                           50, QImage::Format_Indexed8),
               scratch + QStringLiteral("/floor_plan.png"), "PNG");

    QList<QImage> invoice;
    const QString supplier = QStringLiteral("Gulf Supplies Ltd.  |  Invoice INV-2024-0117");
    invoice << Draw_Letter({supplier, QStringLiteral("Invoice INV-2024-0117 (page 1 of 3)"),
                            {QStringLiteral("Bill to: Al-Noor Trading Company, Accounts Department."),
                             QStringLiteral("Date: 6 May 2024.   Order: PO-2024-031."),
                             QStringLiteral("40 x Desk, model D-120 ........ 28,000"),
                             QStringLiteral("40 x Chair, model C-7 ......... 12,400")},
                            false},
                           100, QImage::Format_Grayscale8)
            << Draw_Letter({supplier, QStringLiteral("Invoice INV-2024-0117 (page 2 of 3)"),
                            {QStringLiteral("Delivery and assembly ........... 1,600"),
                             QStringLiteral("Subtotal ........................ 42,000"),
                             QStringLiteral("VAT 15% .......................... 6,300"),
                             QStringLiteral("Total due ....................... 48,300")},
                            false},
                           100, QImage::Format_Grayscale8)
            << Draw_Letter({supplier, QStringLiteral("Invoice INV-2024-0117 (page 3 of 3)"),
                            {QStringLiteral("Payment within 30 days to account 0112-558-901."),
                             QStringLiteral("فاتورة ضريبية"), QStringLiteral("Thank you for your business.")},
                            false},
                           100, QImage::Format_Grayscale8);
    Save_Multi_Page_Tiff(invoice, scratch + QStringLiteral("/invoice_INV-2024-0117.tif"), 100);

    Save_Contract_Pdf(scratch + QStringLiteral("/office_lease_contract.pdf"));
}

void Make_Archive(TArchive &archive, const QString &scratch)
{
    TSample_Builder b(archive, scratch);
    archive.Name = QStringLiteral("Sample Archive");

    TUnit *company = archive.AUnit.get();
    company->Id = Fixed_Id(900);
    company->Parent = &archive;
    company->Name = QStringLiteral("Al-Noor Trading Company");
    company->AType = QStringLiteral("Company");

    // documents under the archive itself
    TDocument *note = b.Document(archive.Documents, &archive, QStringLiteral("About this sample"), QStringLiteral("Note"));
    note->Description = QStringLiteral("A small archive of an office's correspondence.\n"
                                       "Its attached files are in the folder \"documents\" beside it.");

    // the company's own documents: the lease contract with its annexes
    TDocument *lease = b.Document(company->Documents, company, QStringLiteral("Office lease contract"),
                                  QStringLiteral("Contract"));
    lease->Reference = QStringLiteral("LC-2024-004");
    lease->Physical_Location = QStringLiteral("Cabinet 1, shelf 2");
    lease->Keywords = QStringLiteral("lease office rent");
    lease->Mail = Mail(2, 20240510, QStringLiteral("Al-Rawda Real Estate"), QStringLiteral("Al-Noor Trading Company"),
                       20240512);
    b.Attach(lease, QStringLiteral("office_lease_contract.pdf"));
    TDocument *annex = b.Document(lease->Docs, lease, QStringLiteral("Annex A: floor plan"), QStringLiteral("Annex"));
    b.Attach(annex, QStringLiteral("floor_plan.png"));
    TDocument *notice = b.Document(lease->Docs, lease, QStringLiteral("إشعار تجديد العقد"), QStringLiteral("إشعار"));
    notice->Mail = Mail(2, 20240515, QStringLiteral("Al-Rawda Real Estate"), QStringLiteral("الإدارة العامة"));
    notice->Description = QStringLiteral("إشعار بمواعيد تجديد عقد الإيجار.");

    // the company's own folder
    TDocument *registration = b.Document(company->Archive->Docs, company->Archive.get(),
                                         QStringLiteral("Commercial registration certificate"),
                                         QStringLiteral("Certificate"));
    registration->Reference = QStringLiteral("CR 1010-455-782");
    registration->Physical_Location = QStringLiteral("Safe");

    // a folder of correspondence holding two folders
    TDocArchive *mail = b.Folder(company->Archives, company, QStringLiteral("Correspondence 2024"));
    TDocArchive *incoming = b.Folder(mail->Archives, mail, QStringLiteral("Incoming"));
    TDocArchive *outgoing = b.Folder(mail->Archives, mail, QStringLiteral("الصادر"));
    TDocument *offer = b.Document(incoming->Docs, incoming, QStringLiteral("Price offer from Gulf Supplies"),
                                  QStringLiteral("Letter"));
    offer->Reference = QStringLiteral("GS/2024/233");
    offer->Mail = Mail(2, 20240502, QStringLiteral("Gulf Supplies Ltd."), QStringLiteral("Purchasing"), 20240505);
    offer->Keywords = QStringLiteral("furniture offer");
    b.Attach(offer, QStringLiteral("gulf_supplies_offer.jpg"));
    TSubject *tenders = b.Subject(incoming->Subs, incoming, QStringLiteral("Tenders"));
    TDocument *tender = b.Document(tenders->Docs, tenders, QStringLiteral("Cleaning services tender"),
                                   QStringLiteral("Tender"));
    tender->Mail = Mail(2, 20240420, QStringLiteral("City Cleaning Co."), QStringLiteral("Administration"));
    TDocument *reply = b.Document(outgoing->Docs, outgoing, QStringLiteral("رد على عرض الأسعار"), QStringLiteral("خطاب"));
    reply->Reference = QStringLiteral("ص/2024/118");
    reply->Mail = Mail(2, 20240508, QStringLiteral("المشتريات"), QStringLiteral("Gulf Supplies Ltd."), 20240509);

    // units: accounts, and human resources with its recruitment unit
    TUnit *accounts = b.Unit(company, QStringLiteral("Accounts Department"), QStringLiteral("Department"));
    TUnit *hr = b.Unit(company, QStringLiteral("قسم الموارد البشرية"), QStringLiteral("قسم"));
    TUnit *recruitment = b.Unit(hr, QStringLiteral("وحدة التوظيف"), QStringLiteral("وحدة"));

    TDocument *invoice = b.Document(accounts->Documents, accounts, QStringLiteral("Invoice INV-2024-0117"),
                                    QStringLiteral("Invoice"));
    invoice->Reference = QStringLiteral("INV-2024-0117");
    invoice->Mail = Mail(2, 20240506, QStringLiteral("Gulf Supplies Ltd."), QStringLiteral("Accounts Department"),
                         20240512);
    b.Attach(invoice, QStringLiteral("invoice_INV-2024-0117.tif"));

    TPerson *john = b.Person(accounts, QStringLiteral("John Carter"), QStringLiteral("E-201"));
    TDocument *claim = b.Document(john->Documents, john, QStringLiteral("Travel expense claim, April"),
                                  QStringLiteral("Claim"));
    claim->Mail = Mail(1, 20240503, QStringLiteral("John Carter"), QStringLiteral("Accounts Department"), 20240503);

    TPerson *sara = b.Person(hr, QStringLiteral("سارة محمود"), QStringLiteral("E-104"));
    TDocument *appointment = b.Document(sara->Documents, sara, QStringLiteral("خطاب تعيين"), QStringLiteral("خطاب"));
    appointment->Reference = QStringLiteral("م.ب/2024/57");
    appointment->Mail = Mail(1, 20240512, QStringLiteral("مدير الموارد البشرية"), QStringLiteral("سارة محمود"), 20240512);
    appointment->Keywords = QStringLiteral("تعيين موظفة");
    b.Attach(appointment, QStringLiteral("appointment_letter.png"));
    TSubject *leave = b.Subject(sara->Subjects, sara, QStringLiteral("الإجازات"));
    TDocument *request = b.Document(leave->Docs, leave, QStringLiteral("طلب إجازة سنوية"), QStringLiteral("طلب"));
    request->Mail = Mail(1, 20240701, QStringLiteral("سارة محمود"), QStringLiteral("قسم الموارد البشرية"), 20240702);
    TDocument *approval = b.Document(request->Docs, request, QStringLiteral("موافقة على الإجازة"));
    approval->Mail = Mail(1, 20240703, QStringLiteral("مدير الموارد البشرية"), QStringLiteral("سارة محمود"));

    TPerson *omar = b.Person(recruitment, QStringLiteral("عمر خالد"), QStringLiteral("E-117"));
    TDocArchive *files = b.Folder(omar->Archives, omar, QStringLiteral("Job applications"));
    b.Document(files->Docs, files, QStringLiteral("Application: accountant"), QStringLiteral("Application"));
}

} // namespace

int main(int argc, char *argv[])
{
    // The PDF writer walks its fonts in hash order; a fixed seed keeps the file the same.
    QHashSeed::setDeterministicGlobalSeed();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample <output folder>\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    try {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw TError(QStringLiteral("No temporary folder"));
        // a fresh store, so that the stored names do not depend on an earlier run
        QDir(out + QStringLiteral("/documents")).removeRecursively();
        Make_Files(scratch.path());

        TArchive archive;
        archive.FilePath = out + QStringLiteral("/sample.arc");
        Make_Archive(archive, scratch.path());
        if (!Save_Archive_File(archive, archive.FilePath, false, false))
            throw TError(QStringLiteral("Cannot write %1").arg(archive.FilePath));
        QTextStream(stdout) << "written " << archive.FilePath << ": " << archive.DocumentsCount() << " documents, "
                            << archive.FilesCount() << " files\n";
    } catch (const TError &e) {
        std::fprintf(stderr, "make-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}
