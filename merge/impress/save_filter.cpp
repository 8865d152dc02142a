#include "merge/impress/save_filter.h"

namespace foliomix::impress {

std::string_view SaveFilterFor(SaveFormat format) {
    switch (format) {
        case SaveFormat::Presentation97:
            break;
        case SaveFormat::OpenXml:
            return "Impress MS PowerPoint 2007 XML";
        case SaveFormat::OpenDocument:
            return "impress8";
        case SaveFormat::Pdf:
            return "impress_pdf_Export";
    }
    return "MS PowerPoint 97";
}

}  // namespace foliomix::impress
