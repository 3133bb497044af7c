// Reads and writes an archive-sized SML document and compares the figures with libyaml
// emitting and parsing the same tree as YAML.
//   bench_sml [DOCUMENTS]    (default 100000)

#include "markup/tsml.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <yaml.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

const QStringList Words = {
    QStringLiteral("\u0627\u0644\u0645\u0648\u0636\u0648\u0639"), QStringLiteral("\u0637\u0644\u0628"),
    QStringLiteral("\u062A\u0642\u0631\u064A\u0631"), QStringLiteral("\u0627\u0644\u0645\u0627\u0644\u064A\u0629"),
    QStringLiteral("meeting"), QStringLiteral("budget"), QStringLiteral("contract"), QStringLiteral("letter"),
    QStringLiteral("annual"), QStringLiteral("report"), QStringLiteral("request"), QStringLiteral("approval"),
    QStringLiteral("invoice"), QStringLiteral("department"), QStringLiteral("minutes"), QStringLiteral("2017")};

QString Sentence(QRandomGenerator &rng, int words)
{
    QString s;
    for (int i = 0; i < words; ++i) {
        if (i)
            s += u' ';
        s += Words[int(rng.bounded(int(Words.size())))];
    }
    return s;
}

QString Guid(QRandomGenerator &rng)
{
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(rng.generate(), 8, 16, QChar(u'0'))
        .arg(rng.bounded(65536), 4, 16, QChar(u'0'))
        .arg(rng.bounded(65536), 4, 16, QChar(u'0'))
        .arg(rng.bounded(65536), 4, 16, QChar(u'0'))
        .arg(rng.generate64() & 0xFFFFFFFFFFFFull, 12, 16, QChar(u'0'))
        .toUpper();
}

void Add_Document(QRandomGenerator &rng, TNode &parent, int n)
{
    TNode &d = parent.AddNode(QStringLiteral("Document"), QString());
    d.AddNode(QStringLiteral("Id"), Guid(rng));
    d.AddNode(QStringLiteral("Type"), int(rng.bounded(5)));
    d.AddNode(QStringLiteral("Reference"), QStringLiteral("REF/%1/%2").arg(2017).arg(n));
    QString description = Sentence(rng, 3);
    if (n % 4 == 0)
        description += QStringLiteral("\r\n") + Sentence(rng, 3) + QStringLiteral("\r\n") + Sentence(rng, 2);
    d.AddNode(QStringLiteral("Description"), description);
    d.AddNode(QStringLiteral("Keywords"), Sentence(rng, 2));
    TNode &mail = d.AddNode(QStringLiteral("Mail"), QString());
    mail.AddNode(QStringLiteral("Internal"), rng.bounded(2) == 0);
    mail.AddNode(QStringLiteral("Date"), QStringLiteral("2017-%1-%2").arg(1 + rng.bounded(12), 2, 10, QChar(u'0'))
                                             .arg(1 + rng.bounded(28), 2, 10, QChar(u'0')));
    mail.AddNode(QStringLiteral("From"), Sentence(rng, 1));
    mail.AddNode(QStringLiteral("To"), Sentence(rng, 1));
    TNode &files = d.AddNode(QStringLiteral("Digital_Files"), QString());
    for (int f = 0, count = int(rng.bounded(3)); f < count; ++f)
        files.AddNode(QStringLiteral("File"), QStringLiteral("2017-03-13\\scan_%1_%2.jpg").arg(n).arg(f));
}

TNode Make_Archive(int documents)
{
    QRandomGenerator rng(2017);
    TSML sml;
    sml.Init_SML_Node();
    TNode &archive = sml.Node.AddNode(QStringLiteral("Archive"), QString());
    archive.AddNode(QStringLiteral("Title"), QStringLiteral("Benchmark archive"));
    int n = 0;
    while (n < documents) {
        TNode &unit = archive.AddNode(QStringLiteral("Unit"), QString());
        unit.AddNode(QStringLiteral("Id"), Guid(rng));
        unit.AddNode(QStringLiteral("Title"), Sentence(rng, 3));
        for (int p = 0; p < 5 && n < documents; ++p) {
            TNode &person = unit.AddNode(QStringLiteral("Person"), QString());
            person.AddNode(QStringLiteral("Id"), Guid(rng));
            person.AddNode(QStringLiteral("Name"), Sentence(rng, 2));
            for (int s = 0; s < 4 && n < documents; ++s) {
                TNode &subject = person.AddNode(QStringLiteral("Subject"), QString());
                subject.AddNode(QStringLiteral("Id"), Guid(rng));
                subject.AddNode(QStringLiteral("Title"), Sentence(rng, 3));
                TNode &folder = subject.AddNode(QStringLiteral("Folder"), QString());
                folder.AddNode(QStringLiteral("Title"), Sentence(rng, 2));
                for (int d = 0; d < 25 && n < documents; ++d)
                    Add_Document(rng, folder, n++);
            }
        }
    }
    return sml.Node;
}

// ---- YAML: every node is a one-pair mapping, name: value, or name: [children] ----

int Write_Handler(void *data, unsigned char *buffer, size_t size)
{
    static_cast<std::string *>(data)->append(reinterpret_cast<char *>(buffer), size);
    return 1;
}

bool Emit(yaml_emitter_t &e, yaml_event_t &ev)
{
    return yaml_emitter_emit(&e, &ev) != 0;
}

bool Emit_Scalar(yaml_emitter_t &e, const QByteArray &text, bool literal)
{
    yaml_event_t ev;
    yaml_scalar_event_initialize(&ev, nullptr, nullptr,
                                 reinterpret_cast<yaml_char_t *>(const_cast<char *>(text.constData())),
                                 int(text.size()), 1, 1,
                                 literal ? YAML_LITERAL_SCALAR_STYLE : YAML_ANY_SCALAR_STYLE);
    return Emit(e, ev);
}

std::string Emit_Yaml(const TNode &top)
{
    std::string out;
    yaml_emitter_t e;
    yaml_emitter_initialize(&e);
    yaml_emitter_set_output(&e, Write_Handler, &out);
    yaml_emitter_set_unicode(&e, 1);
    yaml_emitter_set_width(&e, -1);
    yaml_event_t ev;
    yaml_stream_start_event_initialize(&ev, YAML_UTF8_ENCODING);
    Emit(e, ev);
    yaml_document_start_event_initialize(&ev, nullptr, nullptr, nullptr, 1);
    Emit(e, ev);

    struct Frame
    {
        const TNode *node;
        qsizetype next;
    };
    std::vector<Frame> stack;
    auto open = [&](const TNode &n) {
        yaml_mapping_start_event_initialize(&ev, nullptr, nullptr, 1, YAML_BLOCK_MAPPING_STYLE);
        Emit(e, ev);
        Emit_Scalar(e, n.Name.toUtf8(), false);
        if (n.Nodes.isEmpty()) {
            Emit_Scalar(e, n.Value.toUtf8(), n.Value.contains(u'\n'));
            yaml_mapping_end_event_initialize(&ev);
            Emit(e, ev);
            return false;
        }
        yaml_sequence_start_event_initialize(&ev, nullptr, nullptr, 1, YAML_BLOCK_SEQUENCE_STYLE);
        Emit(e, ev);
        return true;
    };
    if (open(top))
        stack.push_back({&top, 0});
    while (!stack.empty()) {
        Frame &f = stack.back();
        if (f.next >= f.node->Nodes.size()) {
            yaml_sequence_end_event_initialize(&ev);
            Emit(e, ev);
            yaml_mapping_end_event_initialize(&ev);
            Emit(e, ev);
            stack.pop_back();
            continue;
        }
        const TNode &c = f.node->Nodes[f.next++];
        if (open(c))
            stack.push_back({&c, 0});
    }
    yaml_document_end_event_initialize(&ev, 1);
    Emit(e, ev);
    yaml_stream_end_event_initialize(&ev);
    Emit(e, ev);
    yaml_emitter_flush(&e);
    yaml_emitter_delete(&e);
    return out;
}

// Parses the YAML; with build set, also makes a node tree of it.
size_t Parse_Yaml(const std::string &text, bool build, TNode &root)
{
    yaml_parser_t p;
    yaml_parser_initialize(&p);
    yaml_parser_set_input_string(&p, reinterpret_cast<const unsigned char *>(text.data()), text.size());
    size_t events = 0;
    std::vector<TNode *> stack{&root};
    TNode *pending = nullptr; // node whose value or children come next
    bool expect_name = false;
    for (;;) {
        yaml_event_t ev;
        if (!yaml_parser_parse(&p, &ev)) {
            std::fprintf(stderr, "yaml parse error: %s\n", p.problem);
            break;
        }
        ++events;
        const yaml_event_type_t type = ev.type;
        if (build) {
            if (type == YAML_MAPPING_START_EVENT) {
                expect_name = true;
            } else if (type == YAML_SCALAR_EVENT) {
                const QString s = QString::fromUtf8(reinterpret_cast<const char *>(ev.data.scalar.value),
                                                    qsizetype(ev.data.scalar.length));
                if (expect_name) {
                    pending = &stack.back()->AddNode(s, QString());
                    expect_name = false;
                } else if (pending) {
                    pending->Value = s;
                }
            } else if (type == YAML_SEQUENCE_START_EVENT) {
                stack.push_back(pending);
            } else if (type == YAML_SEQUENCE_END_EVENT) {
                stack.pop_back();
            }
        }
        yaml_event_delete(&ev);
        if (type == YAML_STREAM_END_EVENT)
            break;
    }
    yaml_parser_delete(&p);
    return events;
}

// CPU time of this thread: the machine may be shared, and waiting for a core is not the
// reader's cost. Page faults count, as they are work done for the measured code.
double Cpu_Seconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// Keeps the best of several timings of one step.
struct Best
{
    double seconds = 1e30;
    template <typename F>
    void Time(F f)
    {
        const double start = Cpu_Seconds();
        f();
        seconds = std::min(seconds, Cpu_Seconds() - start);
    }
};

void Report(const char *what, double bytes, double seconds)
{
    std::printf("%-36s %8.1f MB %8.3f s %8.1f MB/s\n", what, bytes / 1e6, seconds, bytes / 1e6 / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int documents = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = 5;
    const TNode tree = Make_Archive(documents);
    if (qEnvironmentVariableIsSet("BENCH_SML_DUMP")) {
        QFile out(qEnvironmentVariable("BENCH_SML_DUMP"));
        if (out.open(QIODevice::WriteOnly))
            out.write(tree.AsStream());
    }

    QTemporaryDir dir;
    TSML file;
    file.Node = tree;
    file.FileName = dir.filePath(QStringLiteral("bench.sml"));

    // Every round times every step, so a change in the machine's load hits all alike.
    Best write, save, read_mem, read_file, emitting, parse, parse_tree;
    QByteArray sml_bytes;
    std::string yaml;
    size_t events = 0;
    for (int round = 0; round < rounds; ++round) {
        write.Time([&] { sml_bytes = tree.AsStream(); });
        save.Time([&] { (void)file.Save(); });
        TNode back;
        read_mem.Time([&] {
            TSML sml;
            sml.Read_From_Bytes(sml_bytes);
            back = std::move(sml.Node);
        });
        if (round == 0 && back.AsText() != tree.AsText()) {
            std::fprintf(stderr, "the document did not read back unchanged\n");
            return 1;
        }
        back = TNode(); // trees are freed outside the timed steps, libyaml's as ours
        read_file.Time([&] {
            TSML sml;
            sml.Load(file.FileName);
            back = std::move(sml.Node);
        });
        back = TNode();
        emitting.Time([&] { yaml = Emit_Yaml(tree); });
        parse.Time([&] {
            TNode none;
            events = Parse_Yaml(yaml, false, none);
        });
        parse_tree.Time([&] { Parse_Yaml(yaml, true, back); });
    }
    const double size = double(sml_bytes.size());
    const double ysize = double(yaml.size());

    std::printf("%d documents, SML %.1f MB, YAML %.1f MB (%zu events); best of %d rounds, CPU time\n",
                documents, size / 1e6, ysize / 1e6, events, rounds);
    Report("SML write (tree to UTF-8 bytes)", size, write.seconds);
    Report("SML save (file)", size, save.seconds);
    Report("SML read (bytes in memory to tree)", size, read_mem.seconds);
    Report("SML read (file to tree)", size, read_file.seconds);
    Report("libyaml emit (tree to bytes)", ysize, emitting.seconds);
    Report("libyaml parse (events only)", ysize, parse.seconds);
    Report("libyaml parse and build tree", ysize, parse_tree.seconds);
    std::printf("read vs libyaml parse: %.2fx (MB/s), %.2fx (time for the same tree)\n",
                (size / read_mem.seconds) / (ysize / parse.seconds), parse.seconds / read_mem.seconds);
    std::printf("write vs libyaml emit: %.2fx (MB/s), %.2fx (time for the same tree)\n",
                (size / write.seconds) / (ysize / emitting.seconds), emitting.seconds / write.seconds);
    return 0;
}
