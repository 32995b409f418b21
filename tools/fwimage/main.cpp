// fwimage: makes, shows and checks firmware images in the update's container format.
#include <cstdio>
#include <exception>
#include <new>
#include <string_view>

#include "tools/fwimage/commands.h"

namespace {

constexpr const char* USAGE =
    "usage:\n"
    "  fwimage build --out FILE (--payload FILE | --random-payload BYTES --seed N) ENTRY...\n"
    "  fwimage info FILE\n"
    "  fwimage check --code FILE\n"
    "  fwimage check --logic [--sub] FILE\n"
    "  fwimage --help\n"
    "\n"
    "build writes the entries in the order given; the header length is computed and the header\n"
    "CRC appended. Entries:\n"
    "  --crc                  crc entry holding the payload's CRC-32\n"
    "  --flag TAG             zero-length entry (cod, lgc, ...)\n"
    "  --u32 TAG=VALUE        4-byte entry, VALUE decimal or 0x-hex (dpi, sub, uvp, len, ver, "
    "...)\n"
    "  --time TAG=YYYY-MM-DDTHH:MM:SSZ\n"
    "                         4-byte entry, seconds since 1970-01-01 UTC\n"
    "  --str SIZE:TEXT        str entry of SIZE bytes (a multiple of 4, 4 to 252), NUL-padded\n"
    "  --raw TAG=HEXBYTES     any tag with the given value bytes, lengths unchecked\n"
    "TAG is three lower-case letters or digits. --random-payload makes BYTES bytes with\n"
    "SplitMix64 seeded with N, eight bytes per step, least significant byte first.\n"
    "\n"
    "info lists the header's entries in stored order and checks both CRCs; an invalid header\n"
    "exits with 1. check applies the update's acceptance rule (--sub: the logic image must\n"
    "carry sub = 7) and prints \"accepted\" (exit 0) or the rejecting step (exit 1).\n"
    "Bad arguments and unreadable files exit with 2.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }
    const std::string_view command = argv[1];
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(USAGE, stdout);
            return EXIT_OK;
        }
        if (command == "build") {
            return RunBuild(argc - 2, argv + 2);
        }
        if (command == "info") {
            return RunInfo(argc - 2, argv + 2);
        }
        if (command == "check") {
            return RunCheck(argc - 2, argv + 2);
        }
        throw CommandError("unknown command '" + std::string(command) + "' (try fwimage --help)");
    } catch (const CommandError& error) {
        std::fprintf(stderr, "fwimage: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "fwimage: out of memory\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fwimage: %s\n", error.what());
    }
    return EXIT_USAGE;
}
