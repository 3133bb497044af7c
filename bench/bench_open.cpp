// Opening a 100,000-document archive as a whole process, against libyaml and RapidJSON
// reading the same tree: `tarsel-archive-cli search` on the plain and on the encrypted
// file, libyaml parsing the tree as YAML (events only) and RapidJSON building a DOM of it
// as JSON. Each runs as its own process, five times in turn after a round that warms the
// file cache; the medians of the wall and CPU times and of the peak resident memory of
// each child are printed with the ratios.
//   bench_open [DOCUMENTS]          (default 100000)
// The program runs itself as the libyaml and RapidJSON children:
//   bench_open --yaml-events FILE   bench_open --json-dom FILE   bench_open --generate DIR N
// With BENCH_OPEN_DIR set, the generated files are written to and kept in that folder.

#include "bench_archive_data.h"

#include "archive/archive_file.h"
#include "markup/tsml.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <rapidjson/document.h>
#include <yaml.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#ifndef TARSEL_CLI
#error "TARSEL_CLI names the command-line program"
#endif

namespace {

const char *const Missing_Word = "zzzqqq";

// ---- the children ----

QByteArray Read_File(const char *path)
{
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(1);
    }
    return f.readAll();
}

int Yaml_Events(const char *path)
{
    const QByteArray text = Read_File(path);
    yaml_parser_t p;
    yaml_parser_initialize(&p);
    yaml_parser_set_input_string(&p, reinterpret_cast<const unsigned char *>(text.constData()), size_t(text.size()));
    size_t events = 0;
    for (;;) {
        yaml_event_t ev;
        if (!yaml_parser_parse(&p, &ev)) {
            std::fprintf(stderr, "yaml: %s\n", p.problem);
            return 1;
        }
        ++events;
        const bool end = ev.type == YAML_STREAM_END_EVENT;
        yaml_event_delete(&ev);
        if (end)
            break;
    }
    yaml_parser_delete(&p);
    std::printf("%zu events\n", events);
    return 0;
}

int Json_Dom(const char *path)
{
    const QByteArray text = Read_File(path);
    rapidjson::Document d;
    d.Parse(text.constData(), size_t(text.size()));
    if (d.HasParseError()) {
        std::fprintf(stderr, "json: error %d at %zu\n", int(d.GetParseError()), d.GetErrorOffset());
        return 1;
    }
    std::printf("%u top members\n", d.IsObject() ? d.MemberCount() : 0u);
    return 0;
}

// ---- the same tree as YAML and JSON ----
// A node is a one-pair mapping: name: value when it has no children, otherwise
// name: [value, child, child, ...] (the value left out when empty).

int Write_Handler(void *data, unsigned char *buffer, size_t size)
{
    return static_cast<QFile *>(data)->write(reinterpret_cast<char *>(buffer), qint64(size)) == qint64(size);
}

void Emit(yaml_emitter_t &e, yaml_event_t &ev)
{
    if (!yaml_emitter_emit(&e, &ev)) {
        std::fprintf(stderr, "yaml emitter: %s\n", e.problem);
        std::exit(1);
    }
}

void Emit_Scalar(yaml_emitter_t &e, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    yaml_event_t ev;
    yaml_scalar_event_initialize(&ev, nullptr, nullptr,
                                 reinterpret_cast<yaml_char_t *>(const_cast<char *>(utf8.constData())),
                                 int(utf8.size()), 1, 1,
                                 text.contains(u'\n') ? YAML_LITERAL_SCALAR_STYLE : YAML_ANY_SCALAR_STYLE);
    Emit(e, ev);
}

template<class Open, class Close>
void Walk(const TNode &top, Open open, Close close)
{
    struct Frame
    {
        const TNode *node;
        qsizetype next;
    };
    std::vector<Frame> stack;
    open(top);
    stack.push_back({&top, 0});
    while (!stack.empty()) {
        Frame &f = stack.back();
        if (f.next >= f.node->Nodes.size()) {
            close(*f.node);
            stack.pop_back();
            continue;
        }
        const TNode &c = f.node->Nodes[f.next++];
        open(c);
        stack.push_back({&c, 0});
    }
}

void Write_Yaml(const TNode &top, const QString &path)
{
    QFile out(path);
    out.open(QIODevice::WriteOnly);
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
    Walk(
        top,
        [&](const TNode &n) {
            yaml_mapping_start_event_initialize(&ev, nullptr, nullptr, 1, YAML_BLOCK_MAPPING_STYLE);
            Emit(e, ev);
            Emit_Scalar(e, n.Name);
            if (n.Nodes.isEmpty()) {
                Emit_Scalar(e, n.Value);
                return;
            }
            yaml_sequence_start_event_initialize(&ev, nullptr, nullptr, 1, YAML_BLOCK_SEQUENCE_STYLE);
            Emit(e, ev);
            if (!n.Value.isEmpty())
                Emit_Scalar(e, n.Value);
        },
        [&](const TNode &n) {
            if (!n.Nodes.isEmpty()) {
                yaml_sequence_end_event_initialize(&ev);
                Emit(e, ev);
            }
            yaml_mapping_end_event_initialize(&ev);
            Emit(e, ev);
        });
    yaml_document_end_event_initialize(&ev, 1);
    Emit(e, ev);
    yaml_stream_end_event_initialize(&ev);
    Emit(e, ev);
    yaml_emitter_flush(&e);
    yaml_emitter_delete(&e);
}

void Json_String(QByteArray &out, const QString &t)
{
    out += '"';
    for (const char c : t.toUtf8()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (quint8(c) < 0x20)
                out += QByteArray("\\u00") + QByteArray::number(quint8(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
}

void Write_Json(const TNode &top, const QString &path)
{
    QByteArray out;
    std::vector<bool> first{true}; // per open list: no item written yet
    Walk(
        top,
        [&](const TNode &n) {
            if (!first.back())
                out += ',';
            first.back() = false;
            out += '{';
            Json_String(out, n.Name);
            out += ':';
            if (n.Nodes.isEmpty()) {
                Json_String(out, n.Value);
                return;
            }
            out += '[';
            first.push_back(true);
            if (!n.Value.isEmpty()) {
                Json_String(out, n.Value);
                first.back() = false;
            }
        },
        [&](const TNode &n) {
            if (!n.Nodes.isEmpty()) {
                out += ']';
                first.pop_back();
            }
            out += '}';
        });
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(out);
}

// ---- running and measuring the children ----

struct Sample
{
    double seconds = 0;
    double cpu_seconds = 0; // user and system time of the child, all its threads
    double peak_mb = 0; // ru_maxrss of the child
    bool ok = false;
};

// posix_spawn starts the child without a copy of this process's memory, so the child's
// peak resident size is its own.
Sample Run(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!std::getenv("BENCH_OPEN_SHOW"))
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::fflush(stdout);
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    Sample s;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return s;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &end);
    posix_spawn_file_actions_destroy(&actions);
    s.seconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    s.cpu_seconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                    + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    s.peak_mb = double(usage.ru_maxrss) * 1024.0 / 1e6; // kilobytes on Linux
    s.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return s;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Mb(const QString &path)
{
    return double(QFileInfo(path).size()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--yaml-events")
        return Yaml_Events(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--json-dom")
        return Json_Dom(argv[2]);

    QCoreApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--generate") {
        const QDir out(QString::fromLocal8Bit(argv[2]));
        auto archive = Make_Bench_Archive(std::atoi(argv[3]));
        Save_Archive_File(*archive, out.filePath(QStringLiteral("big.arc")), false, false);
        Save_Archive_File(*archive, out.filePath(QStringLiteral("big-encrypted.arc")), false, true);
        const TNode tree = Archive_To_Node(*archive);
        Write_Yaml(tree, out.filePath(QStringLiteral("big.yaml")));
        Write_Json(tree, out.filePath(QStringLiteral("big.json")));
        return 0;
    }
    const int documents = argc > 1 ? std::atoi(argv[1]) : Bench_Document_Count;
    // BENCH_OPEN_DIR keeps the generated files there, for profiling the children by hand.
    QTemporaryDir temp;
    const QDir dir(qEnvironmentVariableIsSet("BENCH_OPEN_DIR") ? qEnvironmentVariable("BENCH_OPEN_DIR") : temp.path());
    const QString plain = dir.filePath(QStringLiteral("big.arc"));
    const QString encrypted = dir.filePath(QStringLiteral("big-encrypted.arc"));
    const QString yaml = dir.filePath(QStringLiteral("big.yaml"));
    const QString json = dir.filePath(QStringLiteral("big.json"));
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    // The files are made by a child: a child's peak memory counts this process's size at the
    // moment it starts, so this process stays small.
    if (!Run({self, "--generate", dir.path().toStdString(), std::to_string(documents)}).ok) {
        std::fprintf(stderr, "generating the files failed\n");
        return 1;
    }
    std::printf("%d documents: SML %.1f MB, encrypted %.1f MB, YAML %.1f MB, JSON %.1f MB\n", documents,
                Mb(plain), Mb(encrypted), Mb(yaml), Mb(json));

    const std::string cli = TARSEL_CLI;
    struct Child
    {
        const char *name;
        std::vector<std::string> args;
        std::vector<double> times, cpu, peaks;
        bool ok = true;
    };
    Child children[] = {
        {"tarsel-archive-cli search (plain)", {cli, "search", plain.toStdString(), Missing_Word}, {}, {}, {}},
        {"tarsel-archive-cli search (encrypted)",
         {cli, "search", encrypted.toStdString(), Missing_Word, "--encrypted"}, {}, {}, {}},
        {"libyaml, events only (YAML)", {self, "--yaml-events", yaml.toStdString()}, {}, {}, {}},
        {"RapidJSON DOM (JSON)", {self, "--json-dom", json.toStdString()}, {}, {}, {}},
    };
    // One round to warm the file cache for every child alike, then the measured rounds.
    const int rounds = 5;
    for (int round = -1; round < rounds; ++round) {
        for (Child &c : children) {
            const Sample s = Run(c.args);
            if (round < 0)
                continue;
            c.times.push_back(s.seconds);
            c.cpu.push_back(s.cpu_seconds);
            c.peaks.push_back(s.peak_mb);
            c.ok = c.ok && s.ok;
        }
    }

    // Wall time is what the user waits; CPU time shows the work when the machine is busy.
    std::printf("\n%-40s %9s %9s %12s\n", "process (medians of 5)", "wall", "CPU", "peak memory");
    for (const Child &c : children)
        std::printf("%-40s %7.3f s %7.3f s %9.1f MB%s\n", c.name, Median(c.times), Median(c.cpu), Median(c.peaks),
                    c.ok ? "" : "  FAILED");

    const double ours = Median(children[0].times), ours_encrypted = Median(children[1].times);
    const double libyaml = Median(children[2].times), rapidjson = Median(children[3].times);
    const double ours_cpu = Median(children[0].cpu), libyaml_cpu = Median(children[2].cpu),
                 rapidjson_cpu = Median(children[3].cpu);
    const double peak = Median(children[0].peaks), peak_encrypted = Median(children[1].peaks);
    auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
    std::printf("\nplain open + search vs libyaml:    %.2fx wall, %.2fx CPU  (target <= 0.5x: %s)\n",
                ours / libyaml, ours_cpu / libyaml_cpu, verdict(ours <= 0.5 * libyaml));
    std::printf("plain open + search vs RapidJSON:  %.2fx wall, %.2fx CPU  (target <= 1.5x: %s)\n",
                ours / rapidjson, ours_cpu / rapidjson_cpu, verdict(ours <= 1.5 * rapidjson));
    std::printf("peak memory / SML file size:       %.2fx  (target <= 3x: %s)\n", peak / Mb(plain),
                verdict(peak <= 3 * Mb(plain)));
    std::printf("encrypted open + search:           %.3f s (target < 1 s: %s), peak %.2fx the file\n",
                ours_encrypted, verdict(ours_encrypted < 1.0), peak_encrypted / Mb(encrypted));

    // The main window opens and closes in its own process: load and teardown, in process.
    double open_ms = 1e300, close_ms = 1e300;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        auto loaded = Load_Archive_File(plain, false, false);
        open_ms = std::min(open_ms, double(t.nsecsElapsed()) / 1e6);
        t.restart();
        loaded.reset();
        close_ms = std::min(close_ms, double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("in process, best of 3: Load_Archive_File %.0f ms, destroying the archive %.0f ms "
                "(close target <= 300 ms: %s)\n",
                open_ms, close_ms, verdict(close_ms <= 300));
    bool ok = true;
    for (const Child &c : children)
        ok = ok && c.ok;
    return ok ? 0 : 1;
}
