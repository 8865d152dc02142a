#include "merge/com/source_deck.h"

#include <algorithm>
#include <vector>

namespace foliomix::com {
namespace {

// MsoTriState
constexpr long kMsoTrue = -1;
constexpr long kMsoFalse = 0;

// The identities of every presentation the engine holds now.
std::vector<ComPtr<IUnknown>> HeldPresentations(const LateBound& presentations) {
    const long count = ResultLong(presentations.Get(L"Count"), L"Application.Presentations.Count");
    std::vector<ComPtr<IUnknown>> held;
    for (long index = 1; index <= count; ++index) {
        held.push_back(ResultObject(presentations.Call(L"Item", {_variant_t(index)}), IID_IDispatch,
                                    L"Presentation")
                           .Identity());
    }
    return held;
}

}  // namespace

std::unique_ptr<SourceDeck> SourceDeck::Open(const LateBound& application, EngineSession& session,
                                             std::u16string_view fileName) {
    try {
        const LateBound presentations = application.Child(L"Presentations");
        const std::vector<ComPtr<IUnknown>> before = HeldPresentations(presentations);
        // Everything that allocates comes before Open, as for the result.
        auto source = std::make_unique<SourceDeck>(session.Reserve());
        const _variant_t argument = TextArgument(fileName);
        std::wstring name = L"Source";
        LateBound opened = ResultObject(
            presentations.Call(L"Open", {argument, _variant_t(kMsoTrue), _variant_t(kMsoFalse),
                                         _variant_t(kMsoFalse)}),
            IID_IDispatch, std::move(name));
        const ComPtr<IUnknown> identity = opened.Identity();
        if (std::any_of(before.begin(), before.end(),
                        [&identity](const auto& held) { return held.Get() == identity.Get(); })) {
            return nullptr;  // never adopted: nothing is sent to it, not even a Close
        }
        source->owned_->Adopt(std::move(opened));
        return source;
    } catch (const std::exception&) {
        return nullptr;
    }
}

SourceDeck::~SourceDeck() {
    try {
        owned_->Close();
    } catch (...) {  // nothing may leave a destructor; it stays tracked, and Quit tries again
    }
}

}  // namespace foliomix::com
