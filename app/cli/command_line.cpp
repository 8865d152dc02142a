#include "app/cli/command_line.h"

#include <array>
#include <string_view>

namespace foliomix::cli {
namespace {

enum class Option { kOutput, kForce, kQuiet, kVerbose, kInputList, kEngine, kHelp, kVersion };

struct OptionName {
    Option option;
    char shortName;  // '\0': none
    std::string_view longName;
    bool takesValue;
};

constexpr std::array<OptionName, 8> kOptions{{
    {Option::kOutput, 'o', "output", true},
    {Option::kForce, 'f', "force", false},
    {Option::kQuiet, 'q', "quiet", false},
    {Option::kVerbose, 'v', "verbose", false},
    {Option::kInputList, '\0', "from-file", true},
    {Option::kEngine, '\0', "engine", true},
    {Option::kHelp, 'h', "help", false},
    {Option::kVersion, '\0', "version", false},
}};

const OptionName* ByLongName(std::string_view name) {
    for (const OptionName& known : kOptions) {
        if (known.longName == name) {
            return &known;
        }
    }
    return nullptr;
}

const OptionName* ByShortName(char name) {
    for (const OptionName& known : kOptions) {
        if (known.shortName != '\0' && known.shortName == name) {
            return &known;
        }
    }
    return nullptr;
}

std::string Spelled(const OptionName& option) { return "--" + std::string(option.longName); }

// Collects the options as they come; the checks that need all of them come at the end.
class Parser {
  public:
    void Apply(const OptionName& option, std::optional<std::string> value) {
        switch (option.option) {
            case Option::kOutput:
                Once(output_, std::move(value), option);
                break;
            case Option::kInputList:
                Once(line_.merge.inputList, std::move(value), option);
                break;
            case Option::kEngine:
                Once(line_.merge.engine, std::move(value), option);
                break;
            case Option::kForce:
                line_.merge.force = true;
                break;
            case Option::kQuiet:
                line_.merge.quiet = true;
                break;
            case Option::kVerbose:
                line_.merge.verbose = true;
                break;
            case Option::kHelp:
                help_ = true;
                break;
            case Option::kVersion:
                version_ = true;
                break;
        }
    }
    void Input(const std::string& path) { line_.merge.inputs.push_back(path); }

    CommandLine Finish() {
        if (help_ || version_) {
            return {help_ ? Action::kHelp : Action::kVersion, {}};
        }
        if (!output_) {
            throw UsageError("no output given: name it with -o OUT");
        }
        if (output_->empty()) {
            throw UsageError("the output's name is empty");
        }
        if (line_.merge.inputs.empty() && !line_.merge.inputList) {
            throw UsageError("no input given");
        }
        line_.merge.output = std::move(*output_);
        return std::move(line_);
    }

  private:
    static void Once(std::optional<std::string>& slot, std::optional<std::string> value,
                     const OptionName& option) {
        if (slot) {
            throw UsageError(Spelled(option) + " is given more than once");
        }
        slot = std::move(value);
    }

    CommandLine line_;
    std::optional<std::string> output_;
    bool help_ = false;
    bool version_ = false;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    Parser parser;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // The value of an option: the rest of this argument, else the next argument.
        const auto valueOf = [&](const OptionName& option, std::string_view attached) {
            if (!attached.empty()) {
                return std::string(attached);
            }
            if (i + 1 == arguments.size()) {
                throw UsageError(Spelled(option) + " needs a value");
            }
            return arguments[++i];
        };
        if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
            parser.Input(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument.starts_with("--")) {
            const std::string_view body = std::string_view(argument).substr(2);
            const std::size_t equals = body.find('=');
            const OptionName* option = ByLongName(body.substr(0, equals));
            if (option == nullptr) {
                throw UsageError("unknown option '" + argument + "'");
            }
            if (equals != std::string_view::npos && !option->takesValue) {
                throw UsageError(Spelled(*option) + " takes no value");
            }
            if (option->takesValue && equals != std::string_view::npos) {
                // "--output=" names nothing, as "-o ''" does: the check at the end says so.
                parser.Apply(*option, std::string(body.substr(equals + 1)));
            } else {
                parser.Apply(*option, option->takesValue ? std::optional(valueOf(*option, {}))
                                                         : std::nullopt);
            }
        } else {
            // One or more short options; one that takes a value takes the rest.
            for (std::size_t at = 1; at < argument.size(); ++at) {
                const OptionName* option = ByShortName(argument[at]);
                if (option == nullptr) {
                    throw UsageError("unknown option '-" + std::string(1, argument[at]) + "'");
                }
                if (option->takesValue) {
                    parser.Apply(*option,
                                 valueOf(*option, std::string_view(argument).substr(at + 1)));
                    break;
                }
                parser.Apply(*option, std::nullopt);
            }
        }
    }
    return parser.Finish();
}

}  // namespace foliomix::cli
