#include "archive/tarchitem.h"

#include "archive/archive_search_p.h"
#include "text/date_text.h"
#include "text/keywords.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringEncoder>
#include <QStringMatcher>
#include <QStringView>

#include <algorithm>
#include <optional>
#include <string_view>


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

// ---------------------------------------------------------------- search texts

QString Locale_Key()
{
    const QLocale locale;
    return locale.name() + QLatin1Char('|') + locale.dateFormat(QLocale::ShortFormat);
}

void Snapshot(TSearch_Source &s, const TDocument &d)
{
    s.Id = d.Id;
    s.Name = d.Name;
    s.Reference = d.Reference;
    s.Physical_Location = d.Physical_Location;
    s.Description = d.Description;
    s.Keywords = d.Keywords;
    s.Mail_From = d.Mail.Mail_From;
    s.Mail_To = d.Mail.Mail_To;
    s.Date = d.Mail.Date;
    s.Delivery_date = d.Mail.Delivery_date;
    s.Digital_Files = d.Digital_Files;
}

class TStamp
{
public:
    void Add(quint64 v)
    {
        FHash ^= v;
        FHash *= 0x100000001b3ULL;
        FHash ^= FHash >> 29;
    }
    void Add(const void *p, qsizetype size)
    {
        Add(quint64(quintptr(p)));
        Add(quint64(size));
    }
    void Add(const QString &s) { Add(s.constData(), s.size()); }
    quint64 Value() const { return FHash; }

private:
    quint64 FHash = 0xcbf29ce484222325ULL;
};

void Prefetch(const TDocument *d)
{
#if defined(__GNUC__)
    const char *p = reinterpret_cast<const char *>(d);
    for (size_t offset = 0; offset < sizeof(TDocument); offset += 64)
        __builtin_prefetch(p + offset);
#else
    Q_UNUSED(d);
#endif
}

void Prefetch_Text(const QString &s)
{
#if defined(__GNUC__)
    __builtin_prefetch(s.constData());
#else
    Q_UNUSED(s);
#endif
}

// Changes whenever a searched field of the document changes (see TSearch_Source).
quint64 Stamp(const TDocument &d)
{
    TStamp s;
    s.Add(d.Id);
    s.Add(d.Name);
    s.Add(d.Reference);
    s.Add(d.Physical_Location);
    s.Add(d.Description);
    s.Add(d.Keywords);
    s.Add(d.Mail.Mail_From);
    s.Add(d.Mail.Mail_To);
    s.Add(quint64(quint32(d.Mail.Date)) << 32 | quint32(d.Mail.Delivery_date));
    s.Add(d.Digital_Files.constData(), d.Digital_Files.size());
    return s.Value();
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

// The search text of a document, as UTF-16.
void Build_Line(const TSearch_Source &s, TDate_Texts &dates, QString &line)
{
    const QChar space(u' ');
    line.resize(0);
    line += s.Id;
    line += space;
    line += s.Name;
    line += space;
    line += s.Reference;
    line += space;
    line += s.Physical_Location;
    line += space;
    line += s.Description;
    line += space;
    line += s.Keywords;
    line += space;
    line += dates.Of(s.Date);
    line += space;
    line += s.Mail_From;
    line += space;
    line += s.Mail_To;
    line += space;
    line += dates.Of(s.Delivery_date);
    line += space;
    for (const TDoc_Digital_File &f : s.Digital_Files)
        line += f.FileName;
}

class TText_Builder
{
public:
    explicit TText_Builder(TSearch_Cache &cache)
        : FCache(cache)
    {
    }

    // Appends the search text of entry i at the end of the buffer.
    void Append(int i)
    {
        Build_Line(FCache.Sources[size_t(i)], FDates, FLine);
        QByteArray &text = FCache.Text;
        const qsizetype start = text.size();
        text.resize(start + FEncoder.requiredSpace(FLine.size()) + 1);
        char *end = FEncoder.appendToBuffer(text.data() + start, FLine);
        *end = '\0';
        text.resize(end + 1 - text.constData());
        FCache.Starts[size_t(i)] = start;
        FCache.Lengths[size_t(i)] = end - (text.constData() + start);
        FCache.Segment_Starts.push_back(start);
        FCache.Segment_Entries.push_back(i);
    }

private:
    TSearch_Cache &FCache;
    TDate_Texts FDates;
    QString FLine;
    // Stateless: every text is encoded on its own; a lone surrogate becomes U+FFFD.
    QStringEncoder FEncoder{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
};

void Blank_Text(TSearch_Cache &cache, size_t i)
{
    char *data = cache.Text.data();
    std::fill(data + cache.Starts[i], data + cache.Starts[i] + cache.Lengths[i], '\0');
    cache.Unused += cache.Lengths[i] + 1;
}

std::unique_ptr<TSearch_Cache> Build_Cache(const QList<TDocument *> &documents)
{
    auto cache = std::make_unique<TSearch_Cache>();
    const size_t n = size_t(documents.size());
    cache->Locale_Key = Locale_Key();
    cache->Docs.assign(documents.begin(), documents.end());
    cache->Stamps.resize(n);
    cache->Sources.resize(n);
    cache->Starts.resize(n);
    cache->Lengths.resize(n);
    cache->Segment_Starts.reserve(n);
    cache->Segment_Entries.reserve(n);
    qsizetype estimate = 0;
    for (const TDocument *d : documents) {
        estimate += d->Id.size() + d->Name.size() + d->Reference.size() + d->Physical_Location.size()
            + d->Description.size() + d->Keywords.size() + d->Mail.Mail_From.size() + d->Mail.Mail_To.size() + 32;
        for (const TDoc_Digital_File &f : d->Digital_Files)
            estimate += f.FileName.size();
    }
    cache->Text.reserve(estimate + estimate / 4);
    TText_Builder builder(*cache);
    for (size_t i = 0; i < n; ++i) {
        Snapshot(cache->Sources[i], *documents[qsizetype(i)]);
        cache->Stamps[i] = Stamp(*documents[qsizetype(i)]);
        builder.Append(int(i));
    }
    return cache;
}

// True when the live entries are exactly the documents of the list, in order.
bool Matches_List(const TSearch_Cache &cache, const QList<TDocument *> &documents)
{
    qsizetype j = 0;
    for (const TDocument *d : cache.Docs) {
        if (!d)
            continue;
        if (j >= documents.size() || documents[j] != d)
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
    // The UTF-8 texts give exact answers for a word of whole characters that holds neither
    // the NUL between texts nor the U+FFFD that stands for lone surrogates; any other word
    // is tested against each text in its UTF-16 form.
    if (word.contains(QChar(u'\0')) || word.contains(QChar(QChar::ReplacementCharacter))
        || !QStringView(word).isValidUtf16()) {
        TDate_Texts dates;
        QString line;
        for (size_t i = 0; i < cache.Docs.size(); ++i) {
            if (!cache.Docs[i])
                continue;
            Build_Line(cache.Sources[i], dates, line);
            if (line.contains(word))
                hit(int(i));
        }
        return;
    }
    const QByteArray utf8 = word.toUtf8();
    const std::string_view needle(utf8.constData(), size_t(utf8.size()));
    const std::string_view text(cache.Text.constData(), size_t(cache.Text.size()));
    qsizetype pos = 0;
    // The C++ library's find skips to candidates with the C library's vectorized memchr;
    // npos converts to -1.
    while ((pos = qsizetype(text.find(needle, size_t(pos)))) >= 0) {
        const auto seg = std::upper_bound(cache.Segment_Starts.begin(), cache.Segment_Starts.end(), pos) - 1;
        const size_t i = size_t(cache.Segment_Entries[size_t(seg - cache.Segment_Starts.begin())]);
        if (cache.Docs[i] && cache.Starts[i] == *seg) {
            hit(int(i));
            pos = cache.Starts[i] + cache.Lengths[i]; // the next hit is in a later text
        } else {
            ++pos; // an abandoned place holds only NULs and cannot match; be safe anyway
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
    FSearch_Cache.reset();
    FSearched_Without_Cache = false;
}

void TArchive::Forget_Item(const TArchItem *Item)
{
    if (!Item)
        return;
    if (auto *d = dynamic_cast<const TDocument *>(Item)) {
        Document_List.removeAll(const_cast<TDocument *>(d));
        if (FSearch_Cache) {
            for (size_t i = 0; i < FSearch_Cache->Docs.size(); ++i) {
                if (FSearch_Cache->Docs[i] == d) {
                    Blank_Text(*FSearch_Cache, i);
                    FSearch_Cache->Docs[i] = nullptr;
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

    std::vector<char> found;
    if (!FSearch_Cache && !FSearched_Without_Cache) {
        // A single search reads each document's text as it goes, which costs less than
        // building the texts and holds no memory; a second search builds them.
        FSearched_Without_Cache = true;
        found.assign(size_t(Document_List.size()), 0);
        // Empty words match nothing, as Contains has it.
        const auto matchers = [](const QStringList &words) {
            std::vector<QStringMatcher> m;
            for (const QString &w : words)
                m.emplace_back(w);
            return m;
        };
        const std::vector<QStringMatcher> text = matchers({AText}), any = matchers(anyWords),
                                          all = matchers(allWords);
        TDate_Texts dates;
        TSearch_Source source;
        QString line;
        for (qsizetype i = 0; i < Document_List.size(); ++i) {
            const TDocument *d = Document_List[i];
            if (!d)
                continue;
            Snapshot(source, *d);
            Build_Line(source, dates, line);
            auto has = [&line](const QStringMatcher &m) {
                return !m.pattern().isEmpty() && m.indexIn(line) >= 0;
            };
            found[size_t(i)] = std::any_of(text.cbegin(), text.cend(), has) || std::any_of(any.cbegin(), any.cend(), has)
                               || (!all.empty() && std::all_of(all.cbegin(), all.cend(), has));
        }
        for (size_t i = 0; i < found.size(); ++i)
            if (found[i])
                result.append(Document_List[qsizetype(i)]);
    } else {
        Search_Texts(AText, anyWords, allWords, result);
    }
    Add_Subject_Documents(AText, result);
    return result;
}

void TArchive::Search_Texts(const QString &AText, const QStringList &anyWords, const QStringList &allWords,
                            QList<TDocument *> &result) const
{
    // Bring the texts up to date with the list and with any document edited since, so that
    // a search always sees the documents as they are.
    if (!FSearch_Cache || FSearch_Cache->Locale_Key != Locale_Key() || !Matches_List(*FSearch_Cache, Document_List)) {
        FSearch_Cache = Build_Cache(Document_List);
    } else {
        TSearch_Cache &cache = *FSearch_Cache;
        std::optional<TText_Builder> builder;
        // The documents lie scattered in memory; fetching a few ahead keeps this pass from
        // waiting on each one in turn.
        constexpr size_t ahead = 8;
        for (size_t i = 0; i < cache.Docs.size(); ++i) {
            if (i + ahead < cache.Docs.size() && cache.Docs[i + ahead])
                Prefetch(cache.Docs[i + ahead]);
            const TDocument *d = cache.Docs[i];
            if (!d)
                continue;
            const quint64 stamp = Stamp(*d);
            if (stamp == cache.Stamps[i])
                continue;
            if (!builder)
                builder.emplace(cache);
            Blank_Text(cache, i);
            Snapshot(cache.Sources[i], *d);
            cache.Stamps[i] = stamp;
            builder->Append(int(i));
        }
        if (cache.Unused > cache.Text.size() / 2)
            FSearch_Cache = Build_Cache(Document_List);
    }
    const TSearch_Cache &cache = *FSearch_Cache;

    std::vector<char> found(cache.Docs.size(), 0);
    const auto mark = [&found](int i) { found[size_t(i)] = 1; };
    For_Each_Hit(cache, AText, mark);
    for (const QString &w : std::as_const(anyWords))
        For_Each_Hit(cache, w, mark);
    if (!allWords.isEmpty()) {
        std::vector<int> counts(cache.Docs.size(), 0);
        for (const QString &w : std::as_const(allWords))
            For_Each_Hit(cache, w, [&counts](int i) { ++counts[size_t(i)]; });
        for (size_t i = 0; i < counts.size(); ++i)
            if (counts[i] == allWords.size())
                found[i] = 1;
    }
    for (size_t i = 0; i < found.size(); ++i)
        if (found[i] && cache.Docs[i])
            result.append(cache.Docs[i]);
}

void TArchive::Add_Subject_Documents(const QString &AText, QList<TDocument *> &result) const
{
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
}

QList<TDocument *> TArchive::Find_in_Documents_Title(const QString &AText) const
{
    QList<TDocument *> result;
    if (AText.isEmpty())
        return result;
    const QStringMatcher matcher(AText);
    // Two steps ahead: the document, then its title's characters, which it points to.
    constexpr qsizetype ahead = 16;
    const qsizetype n = Document_List.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i + ahead < n)
            Prefetch(Document_List[i + ahead]);
        if (i + ahead / 2 < n)
            Prefetch_Text(Document_List[i + ahead / 2]->Name);
        TDocument *d = Document_List[i];
        if (matcher.indexIn(d->Name) >= 0)
            result.append(d);
    }
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
