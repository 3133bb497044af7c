#include "text/keywords.h"

#include <QCollator>
#include <QLocale>

namespace {

// Sorted word lists order their words the way the user's language sorts them, without regard to case.
int Compare_Words(const QString &a, const QString &b)
{
    thread_local QCollator collator;
    thread_local QString collatorLocale;
    const QLocale locale;
    if (collatorLocale != locale.name() || collator.caseSensitivity() != Qt::CaseInsensitive) {
        collator = QCollator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collatorLocale = locale.name();
    }
    const int result = collator.compare(a, b);
    // Words the collation holds equal still need one fixed order.
    return result != 0 ? result : QString::compare(a, b, Qt::CaseInsensitive);
}

bool Is_Word_Separator(QChar c)
{
    return c == u',' || c == u';' || c == QChar(0x060C) || c == QChar(0x061B);
}

const QString Article = QStringLiteral("\u0627\u0644");                // ال
const QString Lam_Lam = QStringLiteral("\u0644\u0644");                // لل
const QString Waw_Article = QStringLiteral("\u0648\u0627\u0644");      // وال
const QString Ba_Article = QStringLiteral("\u0628\u0627\u0644");       // بال
constexpr char16_t Final_Ya = 0x064A;                                  // ي

// Words whose leading alef-lam is part of the word itself.
bool Keeps_Article(const QString &word)
{
    static const QStringList kept = {
        QStringLiteral("\u0627\u0644\u0644\u0647"),                         // الله
        QStringLiteral("\u0627\u0644\u0645\u0627\u0646\u064A\u0627"),       // المانيا
        QStringLiteral("\u0627\u0644\u0628\u0627\u0646\u064A\u0627"),       // البانيا
    };
    return kept.contains(word);
}

QString Normalise_Keyword(QString word)
{
    if (word.size() < 2)
        return QStringLiteral("*");
    if (word.startsWith(Article) && !Keeps_Article(word))
        word.remove(0, 2);
    if (word.startsWith(Lam_Lam))
        word.remove(0, 2);
    if (word.startsWith(Waw_Article))
        word.remove(0, 3);
    if (word.startsWith(Ba_Article))
        word.remove(0, 3);
    if (word.endsWith(QChar(Final_Ya)))
        word.chop(1);
    return word;
}

} // namespace

void TWordList::Add(const QString &word)
{
    if (!Sorted) {
        Items.append(word);
        return;
    }
    // Binary search for the first entry not before word.
    qsizetype low = 0;
    qsizetype high = Items.size();
    while (low < high) {
        const qsizetype mid = (low + high) / 2;
        if (Compare_Words(Items.at(mid), word) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    if (Ignore_Duplicates && low < Items.size() && QString::compare(Items.at(low), word, Qt::CaseInsensitive) == 0)
        return;
    Items.insert(low, word);
}

void Split_Words(const QString &text, TWordList &list)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return;
    list.Ignore_Duplicates = true;

    // start is the index just past the last piece taken; a piece too short to be a word is not
    // taken, so it becomes the front of the next one.
    qsizetype start = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (Is_Word_Separator(t.at(i)))
            t[i] = u' ';
        if (t.at(i) == u' ' || t.at(i) == u'\r') {
            const QString piece = t.mid(start, i - start).trimmed();
            if (piece.size() >= 2) {
                list.Add(piece);
                start = i + 1;
            }
        }
    }
    list.Add(t.mid(start).trimmed());
}

void Extract_Keywords(const QString &text, TWordList &list)
{
    if (text.trimmed().isEmpty())
        return;
    list.Sorted = false;
    Split_Words(text, list);
    for (QString &word : list.Items)
        word = Normalise_Keyword(word);
    list.Items.removeAll(QStringLiteral("*"));
}

void Split_Search_Words(const QString &text, QStringList &words)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return;
    qsizetype start = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i) == u' ' || t.at(i) == u'\r') {
            const QString piece = t.mid(start, i - start).trimmed();
            if (!piece.isEmpty()) {
                words.append(piece);
                start = i + 1;
            }
        }
    }
    const QString rest = t.mid(start).trimmed();
    if (rest.size() >= 2)
        words.append(rest);
}
