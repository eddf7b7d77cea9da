// yorvane-pack: builds a resource archive from a folder, lists one, or unpacks it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pack.h"

namespace {

const char* kHelp =
    "usage: yorvane-pack build FOLDER [-o OUTDIR] [--secondary] [--index NAME] [--data NAME] [--key N]\n"
    "       yorvane-pack list INDEX\n"
    "       yorvane-pack extract INDEX [-o OUTDIR] [NAME...]\n"
    "\n"
    "build    packs every file below FOLDER into an index file (Lump.cpn, or Lump2.cpn with\n"
    "         --secondary) and a data file (Lump.dat / Lump2.dat) written to OUTDIR (default .).\n"
    "         Entry names are the paths below FOLDER with '\\' separators, in lower case.\n"
    "list     shows each entry's offset, size and name.\n"
    "extract  writes all entries, or the named ones, below OUTDIR (default .).\n"
    "\n"
    "Format: the index file's first byte is the key K; every later byte is XOR K. Decoded,\n"
    "byte 1 is unused (0x01), then comes the data file's name up to '#', then the entries,\n"
    "each \"name$offset*size\", separated by '#' (readers also accept '+', and the fields in\n"
    "either order). The data file holds the entries' bytes, each XOR K (an upper-case letter\n"
    "key acts as its lower-case letter). The game finds a name anywhere in the index text, so\n"
    "build refuses names that end with (or occur in) another: they would get the wrong bytes.\n"
    "Set DAT=1 in the [DATA] section of start.ini to read from the archives; DATINFO and\n"
    "DATINFO2 name other index files.\n";

int usage(const std::string& why) {
    std::fprintf(stderr, "yorvane-pack: %s\n%s", why.c_str(), kHelp);
    return 2;
}

int finish(int status, const std::string& out, const std::vector<std::string>& err) {
    std::fputs(out.c_str(), stdout);
    for (const std::string& e : err) std::fprintf(stderr, "yorvane-pack: %s\n", e.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage("no command given");
    for (const std::string& a : args)
        if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    const std::string cmd = args[0];
    std::vector<std::string> plain;
    yv::pack::BuildOptions b;
    bool indexGiven = false, dataGiven = false, secondary = false;
    std::filesystem::path outDir = ".";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
        if (a == "-o" || a == "--index" || a == "--data" || a == "--key") {
            const std::string* v = value();
            if (!v) return usage(a + " needs a value");
            if (a == "-o") outDir = *v;
            if (a == "--index") b.indexName = *v, indexGiven = true;
            if (a == "--data") b.dataName = *v, dataGiven = true;
            if (a == "--key") {
                char* end = nullptr;
                b.key = static_cast<int>(std::strtol(v->c_str(), &end, 0));
                if (v->empty() || *end) return usage("--key: not a number: " + *v);
            }
        } else if (a == "--secondary") {
            secondary = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else {
            plain.push_back(a);
        }
    }
    std::string out;
    std::vector<std::string> err;
    if (cmd == "build") {
        if (plain.size() != 1) return usage("build needs exactly one FOLDER");
        b.source = plain[0];
        b.outDir = outDir;
        if (!indexGiven) b.indexName = secondary ? "Lump2.cpn" : "Lump.cpn";
        if (!dataGiven) {
            const std::filesystem::path ip(b.indexName);
            b.dataName = ip.stem().string() + ".dat";
        }
        return finish(yv::pack::build(b, out, err), out, err);
    }
    if (cmd == "list") {
        if (plain.size() != 1) return usage("list needs exactly one INDEX file");
        return finish(yv::pack::list(plain[0], out, err), out, err);
    }
    if (cmd == "extract") {
        if (plain.empty()) return usage("extract needs an INDEX file");
        const std::vector<std::string> names(plain.begin() + 1, plain.end());
        return finish(yv::pack::extract(plain[0], outDir, names, out, err), out, err);
    }
    return usage("unknown command " + cmd);
}
