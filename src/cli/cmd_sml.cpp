#include "commands.h"

#include "markup/terror.h"
#include "markup/tsml.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace {

const char *const Sml_Usage = "sml FILE | sml --write FILE.json";

// Built bottom-up with an explicit stack, so deep trees need no deep recursion here.
QJsonObject Node_To_Json(const TNode &top)
{
    struct Frame
    {
        const TNode *node;
        qsizetype next;
        QJsonArray children;
    };
    auto object = [](const TNode &n, QJsonArray children) {
        QJsonObject o;
        o.insert(QStringLiteral("name"), n.Name);
        o.insert(QStringLiteral("value"), n.Value);
        o.insert(QStringLiteral("nilValue"), n.Nil_Value);
        o.insert(QStringLiteral("emptyLinesAfter"), n.Empty_Lines_After);
        o.insert(QStringLiteral("nodes"), std::move(children));
        return o;
    };
    std::vector<Frame> stack;
    stack.push_back({&top, 0, {}});
    for (;;) {
        Frame &f = stack.back();
        if (f.next < f.node->Nodes.size()) {
            const TNode *child = &f.node->Nodes[f.next++];
            stack.push_back({child, 0, {}});
            continue;
        }
        QJsonObject done = object(*f.node, std::move(f.children));
        stack.pop_back();
        if (stack.empty())
            return done;
        stack.back().children.append(std::move(done));
    }
}

// QJsonDocument refuses input nested deeper than it can parse, so recursion is bounded here.
TNode Json_To_Node(const QJsonValue &value, const QString &where)
{
    if (!value.isObject())
        throw TError(QStringLiteral("Invalid node at %1: an object is expected").arg(where));
    const QJsonObject o = value.toObject();
    TNode n;
    const QJsonValue name = o.value(QStringLiteral("name"));
    const QJsonValue text = o.value(QStringLiteral("value"));
    const QJsonValue nil = o.value(QStringLiteral("nilValue"));
    const QJsonValue ela = o.value(QStringLiteral("emptyLinesAfter"));
    const QJsonValue nodes = o.value(QStringLiteral("nodes"));
    if (!(name.isString() || name.isUndefined()) || !(text.isString() || text.isUndefined())
        || !(nil.isBool() || nil.isUndefined()) || !(nodes.isArray() || nodes.isUndefined()))
        throw TError(QStringLiteral("Invalid node at %1: wrong field type").arg(where));
    if (!ela.isUndefined()) {
        const double lines = ela.toDouble(-1);
        if (!ela.isDouble() || lines < 0 || lines > 1000000 || lines != double(int(lines)))
            throw TError(QStringLiteral("Invalid node at %1: emptyLinesAfter must be a whole number "
                                        "from 0 to 1000000").arg(where));
        n.Empty_Lines_After = int(lines);
    }
    n.Name = name.toString();
    n.Value = text.toString();
    n.Nil_Value = nil.toBool();
    const QJsonArray children = nodes.toArray();
    for (qsizetype i = 0; i < children.size(); ++i)
        n.Nodes.append(Json_To_Node(children[i], where + QStringLiteral(".nodes[%1]").arg(i)));
    return n;
}

int Print_Tree(const QString &path)
{
    TSML sml;
    sml.Parse_File(path);
    Print_Out(QString::fromUtf8(QJsonDocument(Node_To_Json(sml.Node)).toJson(QJsonDocument::Indented)));
    return 0;
}

int Write_Tree(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        throw TError(QStringLiteral("File not found"));
    if (!file.open(QIODevice::ReadOnly))
        throw TError(file.errorString());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        throw TError(QStringLiteral("Invalid JSON at offset %1: %2").arg(error.offset).arg(error.errorString()));
    if (!doc.isObject())
        throw TError(QStringLiteral("Invalid JSON: the top node must be an object"));
    const TNode node = Json_To_Node(doc.object(), QStringLiteral("top"));
    Print_Out(QChar(0xFEFF) + node.AsText());
    return 0;
}

} // namespace

int Run_Sml_Command(const QStringList &args)
{
    try {
        if (args.size() == 1 && !args[0].startsWith(QLatin1String("--")))
            return Print_Tree(args[0]);
        if (args.size() == 2 && args[0] == QLatin1String("--write"))
            return Write_Tree(args[1]);
    } catch (const TError &e) {
        Print_Error(e.message());
        return 1;
    }
    return Usage_Error(QString::fromLatin1(Sml_Usage));
}
