#include "app/cli/help_text.h"

#include "app/cli/command_line.h"
#include "app/cli/exit_status.h"
#include "app/version.h"

namespace foliomix::cli {
namespace {

std::string Code(ExitStatus status) {
    std::string code = std::to_string(ExitCode(status));
    return "  " + code + std::string(5 - code.size(), ' ');
}

}  // namespace

std::string HelpText(std::string_view engine,
                     const std::vector<std::string_view>& outputExtensions) {
    const std::string program = kProgramName;
    std::string formats;
    for (const std::string_view extension : outputExtensions) {
        formats += (formats.empty() ? "" : ", ") + std::string(extension);
    }
    return "Usage: " + program +
           " -o OUT [-f] [-q] [-v] [--engine PATH] [--from-file LIST]\n"
           "                      IN[@SLIDES]...\n" +  //
           "       " +
           program + " --help | --version\n" +
           "Joins the presentations IN... into one new presentation OUT, their slides in the\n"
           "order given, by driving " +
           std::string(engine) +
           ". An input may be in any format it opens.\n"
           "IN@SLIDES takes only those slides, SLIDES being ranges such as 2-5,7,9- or -3\n"
           "(from 1, in the order written). A name whose part after its last @ is no such\n"
           "list, or that names an existing file, is a plain name.\n"
           "\n"
           "Options:\n"
           "  -o, --output OUT    the result; its extension sets its format:\n"
           "                      " +
           formats +
           "\n"
           "  -f, --force         replace OUT if it exists\n"
           "  -q, --quiet         print no progress (failures and warnings still)\n"
           "  -v, --verbose       after a failure's message, give the engine's own words\n"
           "      --engine PATH   the engine to drive (Linux: LibreOffice's soffice or its\n"
           "                      program folder; else $FOLIOMIX_ENGINE, else the system's,\n"
           "                      else the newest under /opt/libreoffice*)\n"
           "      --from-file LIST\n"
           "                      more inputs, after those given as arguments: the lines of\n"
           "                      LIST, one path each (UTF-8; empty lines are skipped);\n"
           "                      \"-\" reads the standard input\n"
           "  -h, --help          print this help and exit\n"
           "      --version       print the version and exit\n"
           "  --                  what follows is an input, even if it starts with \"-\"\n"
           "\n"
           "Progress goes to the standard error, one line per input. OUT is written under a\n"
           "temporary name in its folder and renamed once complete: a failed or interrupted\n"
           "merge leaves no OUT, and an existing OUT as it was.\n"
           "\n"
           "Exit status:\n" +
           Code(ExitStatus::kMerged) + "merged\n" +  //
           Code(ExitStatus::kOtherFailure) + "any other failure\n" + Code(ExitStatus::kUsage) +
           "usage error; an input that is no readable file; OUT exists (without\n"
           "       --force); a format that is not known by OUT's extension; no slide to save\n" +
           Code(ExitStatus::kEngineUnavailable) +
           "the engine is not installed, does not start, or --engine names none\n" +
           Code(ExitStatus::kInsertFailed) +
           "an input could not be inserted, or holds no slide picked from it\n" +
           Code(ExitStatus::kSaveFailed) + "the result could not be saved\n" +
           Code(ExitStatus::kInterrupted) + "interrupted (Ctrl-C, or a request to terminate)\n";
}

std::string VersionText() {
    std::string text(kProgramName);
    text += ' ';
    text += kVersionText;
    text += '\n';
    return text;
}

}  // namespace foliomix::cli
