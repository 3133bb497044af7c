#include "archive/tarchitem.h"

#include "archive/archive_search_p.h"
#include "text/date_text.h"
#include "text/keywords.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringView>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ---------------------------------------------------------------- walking the tree

struct TLists
{
    QList<TUnit *> &Units;
    QList<TPerson *> &Persons;
    QList<TDocument *> &Documents;
    QList<TSubject *> &Subjects;
    QList<TDocArchive *> &Folders;
};

void Visit(TLists &l, TDocument *d);
void Visit(TLists &l, TSubject *s);
void Visit(TLists &l, TDocArchive *f);

template<class T>
void Visit_All(TLists &l, const TOwnList<T> &list)
{
    for (const auto &item : list)
        if (item)
            Visit(l, item.get());
}

void Visit(TLists &l, TDocument *d)
{
    l.Documents.append(d);
    Visit_All(l, d->Docs);
}

void Visit(TLists &l, TSubject *s)
{
    l.Subjects.append(s);
    Visit_All(l, s->Docs);
    Visit_All(l, s->Subs);
}

void Visit(TLists &l, TDocArchive *f)
{
    l.Folders.append(f);
    Visit_All(l, f->Docs);
    Visit_All(l, f->Subs);
    Visit_All(l, f->Archives);
}

void Visit(TLists &l, TPerson *p)
{
    l.Persons.append(p);
    Visit_All(l, p->Archives);
    Visit_All(l, p->Documents);
    Visit_All(l, p->Subjects);
}

void Visit(TLists &l, TUnit *u)
{
    l.Units.append(u);
    Visit_All(l, u->Documents);
    Visit_All(l, u->Archives);
    Visit_All(l, u->Units);
    if (u->Persons)
        Visit_All(l, u->Persons->Persons);
    if (u->Archive)
        Visit(l, u->Archive.get());
}

// ---------------------------------------------------------------- text tests

bool Contains(const QString &text, const QString &part)
{
    return !part.isEmpty() && text.contains(part);
}

// Position of the first needle at or after `from` in haystack, or -1. Filters candidate
// positions eight at a time on the needle's first and last characters.
qsizetype Find_Text(QStringView haystack, QStringView needle, qsizetype from)
{
    const qsizetype n = haystack.size();
    const qsizetype m = needle.size();
    if (m == 0 || n - from < m)
        return -1;
#if defined(__SSE2__)
    const char16_t *h = haystack.utf16();
    const char16_t *nd = needle.utf16();
    const __m128i first = _mm_set1_epi16(static_cast<short>(nd[0]));
    const __m128i last = _mm_set1_epi16(static_cast<short>(nd[m - 1]));
    const qsizetype lastStart = n - m;
    const size_t middleBytes = m > 2 ? size_t(m - 2) * sizeof(char16_t) : 0;
    qsizetype i = from;
    for (; i + 7 <= lastStart; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i + m - 1));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(a, first), _mm_cmpeq_epi16(b, last))));
        while (mask) {
            const int bit = __builtin_ctz(mask);
            const qsizetype k = i + bit / 2;
            if (std::memcmp(h + k + 1, nd + 1, middleBytes) == 0)
                return k;
            mask &= ~(3u << bit);
        }
    }
    for (; i <= lastStart; ++i)
        if (h[i] == nd[0] && std::memcmp(h + i, nd, size_t(m) * sizeof(char16_t)) == 0)
            return i;
    return -1;
#else
    return haystack.indexOf(needle, from);
#endif
}

// ---------------------------------------------------------------- search texts

QString Locale_Key()
{
    const QLocale locale;
    return locale.name() + QLatin1Char('|') + locale.dateFormat(QLocale::ShortFormat);
}

void Snapshot(TSearch_Entry &e, TDocument *d)
{
    e.Doc = d;
    e.Id = d->Id;
    e.Name = d->Name;
    e.Reference = d->Reference;
    e.Physical_Location = d->Physical_Location;
    e.Description = d->Description;
    e.Keywords = d->Keywords;
    e.Mail_From = d->Mail.Mail_From;
    e.Mail_To = d->Mail.Mail_To;
    e.Date = d->Mail.Date;
    e.Delivery_date = d->Mail.Delivery_date;
    e.Digital_Files = d->Digital_Files;
}

bool Same(const QString &a, const QString &b)
{
    return a.size() == b.size() && a.constData() == b.constData();
}

// True while the document's searched fields are those the text was built from. The entry
// holds a reference to each field's data, so a changed field cannot have the same data.
bool Is_Current(const TSearch_Entry &e)
{
    const TDocument *d = e.Doc;
    return Same(e.Id, d->Id) && Same(e.Name, d->Name) && Same(e.Reference, d->Reference)
        && Same(e.Physical_Location, d->Physical_Location) && Same(e.Description, d->Description)
        && Same(e.Keywords, d->Keywords) && Same(e.Mail_From, d->Mail.Mail_From) && Same(e.Mail_To, d->Mail.Mail_To)
        && e.Date == d->Mail.Date && e.Delivery_date == d->Mail.Delivery_date
        && e.Digital_Files.size() == d->Digital_Files.size() && e.Digital_Files.constData() == d->Digital_Files.constData();
}

class TDate_Texts
{
public:
    const QString &Of(int n)
    {
        auto it = FTexts.constFind(n);
        if (it == FTexts.cend())
            it = FTexts.insert(n, Date_Number_To_Local_Text(n));
        return *it;
    }

private:
    QHash<int, QString> FTexts;
};

// Appends the entry's search text at the end of the buffer.
void Append_Text(TSearch_Cache &cache, int index, TDate_Texts &dates)
{
    TSearch_Entry &e = cache.Entries[size_t(index)];
    QString &t = cache.Text;
    const QChar space(u' ');
    e.Start = t.size();
    cache.Segment_Starts.push_back(e.Start);
    cache.Segment_Entries.push_back(index);
    t += e.Id;
    t += space;
    t += e.Name;
    t += space;
    t += e.Reference;
    t += space;
    t += e.Physical_Location;
    t += space;
    t += e.Description;
    t += space;
    t += e.Keywords;
    t += space;
    t += dates.Of(e.Date);
    t += space;
    t += e.Mail_From;
    t += space;
    t += e.Mail_To;
    t += space;
    t += dates.Of(e.Delivery_date);
    t += space;
    for (const TDoc_Digital_File &f : e.Digital_Files)
        t += f.FileName;
    e.Length = t.size() - e.Start;
    t += QChar(u'\0');
}

void Blank_Text(TSearch_Cache &cache, const TSearch_Entry &e)
{
    QChar *data = cache.Text.data();
    std::fill(data + e.Start, data + e.Start + e.Length, QChar(u'\0'));
    cache.Unused += e.Length + 1;
}

std::unique_ptr<TSearch_Cache> Build_Cache(const QList<TDocument *> &documents)
{
    auto cache = std::make_unique<TSearch_Cache>();
    cache->Locale_Key = Locale_Key();
    cache->Entries.resize(size_t(documents.size()));
    cache->Segment_Starts.reserve(size_t(documents.size()));
    cache->Segment_Entries.reserve(size_t(documents.size()));
    qsizetype estimate = 0;
    for (const TDocument *d : documents) {
        estimate += d->Id.size() + d->Name.size() + d->Reference.size() + d->Physical_Location.size()
            + d->Description.size() + d->Keywords.size() + d->Mail.Mail_From.size() + d->Mail.Mail_To.size() + 32;
        for (const TDoc_Digital_File &f : d->Digital_Files)
            estimate += f.FileName.size();
    }
    cache->Text.reserve(estimate);
    TDate_Texts dates;
    for (int i = 0; i < documents.size(); ++i) {
        Snapshot(cache->Entries[size_t(i)], documents[i]);
        Append_Text(*cache, i, dates);
    }
    return cache;
}

// True when the live entries are exactly the documents of the list, in order.
bool Matches_List(const TSearch_Cache &cache, const QList<TDocument *> &documents)
{
    qsizetype j = 0;
    for (const TSearch_Entry &e : cache.Entries) {
        if (!e.Doc)
            continue;
        if (j >= documents.size() || documents[j] != e.Doc)
            return false;
        ++j;
    }
    return j == documents.size();
}

// Calls hit(entry index) once for every document whose search text contains word.
template<class F>
void For_Each_Hit(const TSearch_Cache &cache, const QString &word, F hit)
{
    if (word.isEmpty())
        return;
    const QStringView text(cache.Text);
    if (word.contains(QChar(u'\0'))) {
        // such a word could run across the NUL between two texts: test each text alone
        for (size_t i = 0; i < cache.Entries.size(); ++i) {
            const TSearch_Entry &e = cache.Entries[i];
            if (e.Doc && text.sliced(e.Start, e.Length).contains(word))
                hit(int(i));
        }
        return;
    }
    qsizetype pos = 0;
    while ((pos = Find_Text(text, word, pos)) >= 0) {
        auto seg = std::upper_bound(cache.Segment_Starts.begin(), cache.Segment_Starts.end(), pos);
        const qsizetype segStart = *(seg - 1);
        const int index = cache.Segment_Entries[size_t(seg - cache.Segment_Starts.begin() - 1)];
        const TSearch_Entry &e = cache.Entries[size_t(index)];
        if (e.Doc && e.Start == segStart) {
            hit(index);
            pos = e.Start + e.Length; // the next hit is in a later text
        } else {
            ++pos; // a stale place cannot hold a match, as it is all NULs; be safe anyway
        }
    }
}

} // namespace

// ---------------------------------------------------------------- TArchive

void TArchive::Fill_Lists()
{
    Unit_List.clear();
    Person_List.clear();
    Document_List.clear();
    Subject_List.clear();
    Archive_List.clear();
    TLists lists{Unit_List, Person_List, Document_List, Subject_List, Archive_List};
    Visit_All(lists, Documents);
    Visit_All(lists, Archives);
    if (AUnit)
        Visit(lists, AUnit.get());
    FSearch_Cache = Build_Cache(Document_List);
}

void TArchive::Forget_Item(const TArchItem *Item)
{
    if (!Item)
        return;
    if (auto *d = dynamic_cast<const TDocument *>(Item)) {
        Document_List.removeAll(const_cast<TDocument *>(d));
        if (FSearch_Cache) {
            for (TSearch_Entry &e : FSearch_Cache->Entries) {
                if (e.Doc == d) {
                    Blank_Text(*FSearch_Cache, e);
                    e.Doc = nullptr;
                }
            }
        }
    } else if (auto *u = dynamic_cast<const TUnit *>(Item)) {
        Unit_List.removeAll(const_cast<TUnit *>(u));
    } else if (auto *p = dynamic_cast<const TPerson *>(Item)) {
        Person_List.removeAll(const_cast<TPerson *>(p));
    } else if (auto *s = dynamic_cast<const TSubject *>(Item)) {
        Subject_List.removeAll(const_cast<TSubject *>(s));
    } else if (auto *f = dynamic_cast<const TDocArchive *>(Item)) {
        Archive_List.removeAll(const_cast<TDocArchive *>(f));
    }
}

void Parse_Search_Text(const QString &AText, QStringList &any_words, QStringList &all_words)
{
    any_words.clear();
    all_words.clear();

    QString text = AText;
    bool inQuotes = false;
    for (QChar &c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (inQuotes && c == u' ')
            c = u'&';
    }
    text.remove(QChar(u'"'));
    text.replace(QChar(u'+'), QStringLiteral(" + "));

    QStringList words;
    Split_Search_Words(text, words);
    for (QString &w : words)
        w.replace(QChar(u'&'), QChar(u' '));

    const QString plus = QStringLiteral("+");
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] != plus)
            continue;
        if (i > 0 && !words[i - 1].isEmpty()) {
            all_words.append(words[i - 1]);
            words[i - 1].clear();
        }
        if (i + 1 < words.size() && !words[i + 1].isEmpty()) {
            all_words.append(words[i + 1]);
            words[i + 1].clear();
        }
        words[i].clear();
    }
    for (const QString &w : std::as_const(words))
        if (!w.isEmpty())
            any_words.append(w);
}

QList<TDocument *> TArchive::Find_in_Documents(const QString &AText) const
{
    QList<TDocument *> result;
    if (AText.isEmpty())
        return result;
    QStringList anyWords, allWords;
    Parse_Search_Text(AText, anyWords, allWords);

    // The texts are built by Fill_Lists; bring them up to date with the list and with any
    // document edited since, so that a search always sees the documents as they are.
    if (!FSearch_Cache || FSearch_Cache->Locale_Key != Locale_Key() || !Matches_List(*FSearch_Cache, Document_List)) {
        FSearch_Cache = Build_Cache(Document_List);
    } else {
        TSearch_Cache &cache = *FSearch_Cache;
        TDate_Texts dates;
        for (size_t i = 0; i < cache.Entries.size(); ++i) {
            TSearch_Entry &e = cache.Entries[i];
            if (e.Doc && !Is_Current(e)) {
                Blank_Text(cache, e);
                Snapshot(e, e.Doc);
                Append_Text(cache, int(i), dates);
            }
        }
        if (cache.Unused > cache.Text.size() / 2)
            FSearch_Cache = Build_Cache(Document_List);
    }
    const TSearch_Cache &cache = *FSearch_Cache;

    std::vector<char> found(cache.Entries.size(), 0);
    const auto mark = [&found](int i) { found[size_t(i)] = 1; };
    For_Each_Hit(cache, AText, mark);
    for (const QString &w : std::as_const(anyWords))
        For_Each_Hit(cache, w, mark);
    if (!allWords.isEmpty()) {
        std::vector<int> counts(cache.Entries.size(), 0);
        for (const QString &w : std::as_const(allWords))
            For_Each_Hit(cache, w, [&counts](int i) { ++counts[size_t(i)]; });
        for (size_t i = 0; i < counts.size(); ++i)
            if (counts[i] == allWords.size())
                found[i] = 1;
    }
    for (size_t i = 0; i < found.size(); ++i)
        if (found[i] && cache.Entries[i].Doc)
            result.append(cache.Entries[i].Doc);

    // Documents of the subjects named by the text, each with its direct sub-documents.
    QSet<const TDocument *> inResult;
    bool setFilled = false;
    const auto add = [&](TDocument *d) {
        if (!setFilled) {
            for (const TDocument *r : std::as_const(result))
                inResult.insert(r);
            setFilled = true;
        }
        if (!inResult.contains(d)) {
            inResult.insert(d);
            result.append(d);
        }
    };
    for (const TSubject *s : Subject_List) {
        if (!Contains(s->Name, AText))
            continue;
        for (const auto &d : s->Docs) {
            if (!d)
                continue;
            add(d.get());
            for (const auto &sub : d->Docs)
                if (sub)
                    add(sub.get());
        }
    }
    return result;
}

QList<TDocument *> TArchive::Find_in_Documents_Title(const QString &AText) const
{
    QList<TDocument *> result;
    for (TDocument *d : Document_List)
        if (Contains(d->Name, AText))
            result.append(d);
    return result;
}

QList<TUnit *> TArchive::Find_in_Units(const QString &AText) const
{
    QList<TUnit *> result;
    for (TUnit *u : Unit_List)
        if (Contains(u->Name, AText) || Contains(u->No, AText) || Contains(u->AType, AText))
            result.append(u);
    return result;
}

QList<TPerson *> TArchive::Find_in_Persons(const QString &AText) const
{
    QList<TPerson *> result;
    for (TPerson *p : Person_List)
        if (Contains(p->Name, AText) || Contains(p->No, AText))
            result.append(p);
    return result;
}

QList<TSubject *> TArchive::Find_in_Subjects(const QString &AText) const
{
    QList<TSubject *> result;
    for (TSubject *s : Subject_List)
        if (Contains(s->Name, AText))
            result.append(s);
    return result;
}

QList<TDocArchive *> TArchive::Find_in_Archives(const QString &AText) const
{
    QList<TDocArchive *> result;
    for (TDocArchive *f : Archive_List)
        if (Contains(f->Name, AText))
            result.append(f);
    return result;
}

TPerson *TArchive::FindFirst_Person(const QString &AText) const
{
    for (TPerson *p : Person_List)
        if (Contains(p->Name, AText))
            return p;
    return nullptr;
}
