// The presentation engine as the merge run uses it: an application object, the presentations
// it creates, and its application-global object. Every reference handed out is an owning
// object that releases the engine's reference when destroyed. Every failure is thrown as
// ServerError (or another std::exception); none is swallowed.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "merge/save_format.h"
#include "merge/slide_ranges.h"

namespace foliomix {

// Why an engine operation failed, in terms a user can act on; the engine's own words are the
// error's what().
enum class FailureKind : std::uint8_t {
    Other,              // nothing plainer than the engine's own words
    NotAPresentation,   // empty, of another kind, or too broken for the engine to open
    PasswordProtected,  // opens only with a password
    EngineStopped,      // the engine process ended during the operation
    DiskFull,
    PermissionDenied,
    NoVisibleSlide,   // a PDF was asked for, and every slide is hidden: it would have no page
    NoSuchFolder,     // the result's folder does not exist
    ResultExists,     // the result's name was taken meanwhile, and it is not to be replaced
    SlideOutOfRange,  // slides were picked past the file's last one
    NoSlides,         // the result holds no slide, and an empty one is not to be saved
};

class ServerError : public std::runtime_error {
  public:
    explicit ServerError(const std::string& engineWords, FailureKind kind = FailureKind::Other)
        : std::runtime_error(engineWords), kind_(kind) {}
    [[nodiscard]] FailureKind Kind() const noexcept { return kind_; }

  private:
    FailureKind kind_;
};

// A presentation of the engine: its Slides collection and SaveAs.
class ServerPresentation {
  public:
    virtual ~ServerPresentation() = default;
    // Slides.Count: the number of slides the presentation holds now.
    [[nodiscard]] virtual std::int32_t SlideCount() = 0;
    // Slides.InsertFromFile(fileName, index): every slide of the file, in the file's order,
    // after slide number `index` (0: at the start).
    virtual void InsertFromFile(std::u16string_view fileName, std::int32_t index) = 0;
    // Slides.InsertFromFile(fileName, index, slideStart, slideEnd): slides `slides.first` to
    // `slides.last` of the file (1-based), in the file's order, after slide number `index`.
    virtual void InsertFromFile(std::u16string_view fileName, std::int32_t index,
                                SlideRun slides) = 0;
    // How many slides the file holds: it is opened on its own, read-only, and closed again.
    [[nodiscard]] virtual std::int32_t SlideCountOfFile(std::u16string_view fileName) = 0;
    // SaveAs(fileName), no format argument: the engine's default for that name applies.
    virtual void SaveAs(std::u16string_view fileName) = 0;
    // SaveAs(fileName, fileFormat): in `format`, whatever the name says.
    virtual void SaveAs(std::u16string_view fileName, SaveFormat format) = 0;
};

// The engine's application object.
class ServerApplication {
  public:
    virtual ~ServerApplication() = default;
    virtual void SetDisplayAlerts(bool on) = 0;
    // Presentations.Add(): a new presentation.
    [[nodiscard]] virtual std::unique_ptr<ServerPresentation> AddPresentation() = 0;
    // Quit(): the engine ends.
    virtual void Quit() = 0;
};

// The engine's application-global object.
class ServerGlobal {
  public:
    virtual ~ServerGlobal() = default;
    // Application: the engine's own application object, reached without the one the run holds.
    [[nodiscard]] virtual std::unique_ptr<ServerApplication> Application() = 0;
};

// Creates the engine's objects; each creation starts the engine if it is not running.
class PresentationServer {
  public:
    virtual ~PresentationServer() = default;
    // The engine's name as the user knows it, for the start-failure message.
    [[nodiscard]] virtual std::u16string_view DisplayName() const = 0;
    // Fails when the engine is not available.
    [[nodiscard]] virtual std::unique_ptr<ServerApplication> CreateApplication() = 0;
    [[nodiscard]] virtual std::unique_ptr<ServerGlobal> CreateGlobal() = 0;
    // Whether the engine's own save leaves an existing file whole until the new one is complete
    // and leaves nothing of its own beside it (PowerPoint): then the window's save hands it the
    // chosen name itself. Otherwise the save is staged (merge/staging/staged_result.h).
    [[nodiscard]] virtual bool SavesSafelyInPlace() const { return true; }
};

}  // namespace foliomix
