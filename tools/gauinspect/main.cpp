// gauinspect: reads a gauge module (.gau) the way the panel host does and reports what it
// finds: the image's machine and flags, exports, imports, resources and version strings,
// then everything reachable from Linkage - gauge headers, element trees, mouse lists - and
// the bytes every named routine pops on return.
//
//   gauinspect [--json | --canonical] FILE.gau        report on standard output
//   gauinspect --report DIR FILE.gau...               DIR/<name>.txt and DIR/<name>.json
//
// Exit status: 0 nothing wrong, 1 problems found (listed in the report), 2 not a readable
// 32-bit Windows image, 64 usage or file error.
#include <stdio.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/gauinspect/inspect.h"

namespace {

int usage() {
    fprintf(stderr,
            "usage: gauinspect [--json | --canonical] FILE.gau\n"
            "       gauinspect --report DIR FILE.gau...\n");
    return 64;
}

bool load(const std::string& path, std::vector<uint8_t>* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string base_name(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stem(const std::string& path) {
    const std::string name = base_name(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

std::string text_report(const gauinspect::Inspection& in) {
    std::string head = "Inspection of " + in.file_name + ": ";
    if (!in.readable) head += "not a readable 32-bit Windows image";
    else head += std::to_string(in.records.gauges.size()) + " gauge(s)";
    head += ", " + std::to_string(in.count("error")) + " error(s), " + std::to_string(in.count("warning")) + " warning(s)\n\n";
    return head + in.report.to_text();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();

    if (args[0] == "--report") {
        if (args.size() < 3) return usage();
        const std::string dir = args[1];
        int worst = 0;
        for (size_t i = 2; i < args.size(); ++i) {
            std::vector<uint8_t> bytes;
            if (!load(args[i], &bytes)) {
                fprintf(stderr, "gauinspect: cannot read %s\n", args[i].c_str());
                return 64;
            }
            const auto in = gauinspect::inspect(std::move(bytes), base_name(args[i]));
            const std::string base = dir + "/" + stem(args[i]);
            if (!write(base + ".txt", text_report(in)) || !write(base + ".json", in.report.to_json())) {
                fprintf(stderr, "gauinspect: cannot write %s.txt/.json\n", base.c_str());
                return 64;
            }
            printf("%s: %zu error(s), %zu warning(s) -> %s.txt, %s.json\n", args[i].c_str(), in.count("error"),
                   in.count("warning"), base.c_str(), base.c_str());
            worst = std::max(worst, in.exit_code());
        }
        return worst;
    }

    std::string format = "text";
    std::string path;
    for (const std::string& a : args) {
        if (a == "--json") format = "json";
        else if (a == "--canonical") format = "canonical";
        else if (!a.empty() && a[0] == '-') return usage();
        else if (path.empty()) path = a;
        else return usage();
    }
    if (path.empty()) return usage();
    std::vector<uint8_t> bytes;
    if (!load(path, &bytes)) {
        fprintf(stderr, "gauinspect: cannot read %s\n", path.c_str());
        return 64;
    }
    const auto in = gauinspect::inspect(std::move(bytes), base_name(path));
    std::string out;
    if (format == "json") out = in.report.to_json();
    else if (format == "canonical") out = in.records_read ? gauinspect::canonical_text(in.records) : "fault=\"" + std::string(in.readable ? in.records.fault : "not a readable image") + "\"\n";
    else out = text_report(in);
    fwrite(out.data(), 1, out.size(), stdout);
    return in.exit_code();
}
