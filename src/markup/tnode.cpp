#include "tnode.h"

#include "sml_text.h"
#include "sml_writer.h"

#include <QDate>

#include <cmath>
#include <vector>

TNode::~TNode()
{
    // Children of children are moved out before each list dies, so no destructor below
    // this one has a subtree left to free.
    if (Nodes.isEmpty() || !Nodes.isDetached())
        return;
    std::vector<QList<TNode>> pending;
    pending.push_back(std::move(Nodes));
    while (!pending.empty()) {
        QList<TNode> list = std::move(pending.back());
        pending.pop_back();
        if (!list.isDetached())
            continue; // still shared with a copy: only this reference goes
        for (TNode &n : list)
            if (!n.Nodes.isEmpty())
                pending.push_back(std::move(n.Nodes));
    }
}

void TNode::Init()
{
    Name.clear();
    Value.clear();
    Nil_Value = false;
    Empty_Lines_After = 0;
    Nodes.clear();
}

void TNode::Init(const QString &AName)
{
    Init();
    Name = AName;
}

TNode &TNode::AddNode(const TNode &ANode)
{
    return Nodes.emplace_back(ANode);
}

TNode &TNode::AddNode(const QString &sName, const QString &sValue)
{
    TNode &n = Nodes.emplace_back();
    n.Name = sName;
    n.Value = sValue;
    return n;
}

TNode &TNode::AddNode(const QString &sName, const QString &sValue, bool)
{
    TNode &n = AddNode(sName, sValue);
    n.Nil_Value = true;
    return n;
}

TNode &TNode::AddNode(const QString &sName, int iValue)
{
    return AddNode(sName, QString::number(iValue));
}

TNode &TNode::AddNode(const QString &sName, bool Value)
{
    return AddNode(sName, Value ? QStringLiteral("true") : QStringLiteral("false"));
}

TNode &TNode::AddNode(const QString &sName, QPoint APoint)
{
    return AddNode(sName, QString::number(APoint.x()) + u':' + QString::number(APoint.y()));
}

TNode &TNode::AddNode(const QString &sName, TDateTime ADate)
{
    return AddNode(sName, Date_To_Text(ADate));
}

const TNode *TNode::FindChild(const QString &Name) const
{
    for (qsizetype i = Nodes.size() - 1; i >= 0; --i)
        if (Nodes[i].Name.compare(Name, Qt::CaseInsensitive) == 0)
            return &Nodes[i];
    return nullptr;
}

TNode TNode::FindChildNode(const QString &Name) const
{
    const TNode *n = FindChild(Name);
    return n ? *n : TNode();
}

QString TNode::Values(const QString &Name) const
{
    const TNode *n = FindChild(Name);
    return n ? n->Value : QString();
}

bool TNode::AsBoolean() const
{
    return Value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

static int To_Int(QStringView t)
{
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    return ok ? v : 0;
}

int TNode::AsInteger() const
{
    return To_Int(Value);
}

QPoint TNode::AsPoint() const
{
    const qsizetype p = Value.indexOf(u':');
    if (p < 0)
        return QPoint(0, 0);
    return QPoint(To_Int(QStringView(Value).first(p)), To_Int(QStringView(Value).sliced(p + 1)));
}

TDateTime TNode::AsDate() const
{
    return Text_To_Date_Time(Value);
}

void TNode::AsText(QString &s) const
{
    s.clear();
    Sml_Writer::Write_Text(*this, s);
}

QString TNode::AsText() const
{
    QString s;
    AsText(s);
    return s;
}

QByteArray TNode::AsStream() const
{
    QByteArray bytes("\xEF\xBB\xBF");
    Sml_Writer::Write_Utf8(*this, bytes);
    return bytes;
}

// Date-and-time values count days from 30 December 1899.
static const QDate Day_Zero(1899, 12, 30);

QString Date_To_Text(TDateTime d)
{
    // Past 31 December 9999 there is no calendar date a day count can stand for.
    if (!(d.Value > 0) || d.Value >= 2958466.0)
        return QStringLiteral("0000-00-00");
    const QDate date = Day_Zero.addDays(qint64(std::floor(d.Value)));
    const QString year = date.year() == 0 ? QStringLiteral("0000") : QString::number(date.year());
    return year + u'-' + QStringLiteral("%1").arg(date.month(), 2, 10, QChar(u'0')) + u'-'
           + QStringLiteral("%1").arg(date.day(), 2, 10, QChar(u'0'));
}

static int Number_Or(QStringView t, int fallback)
{
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    return ok ? v : fallback;
}

TDateTime Text_To_Date_Time(const QString &s)
{
    const QStringView t = Sml_Text::Trim(s);
    if (t.isEmpty())
        return {};
    const qsizetype p = t.indexOf(u' ');
    const QStringView date = p < 0 ? t : Sml_Text::Trim(t.first(p));
    const QStringView time = p < 0 ? QStringView() : Sml_Text::Trim(t.sliced(p));

    const qsizetype n = date.size();
    const int day = Number_Or(date.sliced(qMax<qsizetype>(n - 2, 0)), 1);
    const int month = Number_Or(n >= 5 ? date.sliced(n - 5, 2) : date.first(qMin<qsizetype>(n, 2)), 1);
    const qsizetype dash = date.indexOf(u'-');
    const int year = Number_Or(dash < 0 ? QStringView() : date.first(dash), 0);

    int hours = 0, minutes = 0, seconds = 0, msecs = 0;
    if (!time.isEmpty()) {
        auto part = [&](qsizetype from, qsizetype len) {
            return from < time.size() ? time.sliced(from, qMin(len, time.size() - from)) : QStringView();
        };
        hours = Number_Or(part(0, 2), 0);
        minutes = Number_Or(part(3, 2), 0);
        seconds = Number_Or(part(6, 2), 0);
        msecs = Number_Or(part(9, time.size()), 0);
    }
    if (year == 0 || month == 0 || day == 0)
        return {};
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day) || hours < 0 || hours > 23
        || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 || msecs < 0 || msecs > 999)
        return {};
    const double days = double(Day_Zero.daysTo(QDate(year, month, day)));
    const double fraction = (((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + msecs) / 86400000.0;
    // Before day zero the fraction still counts forward in the day, away from zero.
    return {days >= 0 ? days + fraction : days - fraction};
}
