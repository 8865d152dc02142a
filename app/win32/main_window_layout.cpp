// Form1's layout and density: the window and every control placed by the shared twips rule
// (app/form_geometry.h), and the font and icons made for the density.
#include "app/win32/main_window_win32.h"

#include <stdexcept>
#include <utility>

#include "app/form_geometry.h"
#include "app/win32/resource_ids.h"
#include "app/win32/win32_error.h"

namespace foliomix::win32 {
namespace {

using design::ControlId;

UniqueFont CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        ThrowLastWin32Error("cannot read the system's user-interface font");
    }
    UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!font) {
        ThrowLastWin32Error("cannot create the user-interface font");
    }
    return font;
}

UniqueIcon LoadProgramIcon(HINSTANCE instance, int metricX, int metricY, UINT dpi) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_FOLIOMIX), IMAGE_ICON, GetSystemMetricsForDpi(metricX, dpi),
        GetSystemMetricsForDpi(metricY, dpi), LR_DEFAULTCOLOR)));
}

}  // namespace

void Win32MainWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
    HWND form = Handle();
    UniqueFont font = CreateMessageFont(dpi);
    SIZE size = FormSize(dpi);
    SetWindowPos(form, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
                 size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0U : static_cast<UINT>(SWP_NOMOVE)));
    // Where the frame the system draws is not the one computed for this density, correct the
    // outer size by what the client area is off, so the client area keeps its twips size.
    const design::PixelRect wanted = design::ClientAreaPixels(static_cast<int>(dpi));
    RECT client{};
    GetClientRect(form, &client);
    if (client.right != wanted.width || client.bottom != wanted.height) {
        size.cx += wanted.width - client.right;
        size.cy += wanted.height - client.bottom;
        SetWindowPos(form, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    for (const design::ControlDesign& control : design::kControls) {
        HWND handle = Control(control.id);
        const design::PixelRect rect = design::ControlPixels(control, static_cast<int>(dpi));
        SetWindowPos(handle, nullptr, rect.left, rect.top, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    // The controls use the new font now; the old one may go.
    font_ = std::move(font);
    // The window shows the icons it was given until it is given others: the old ones may go
    // only once the new ones are in place. A size that cannot be loaded keeps the old icon.
    UniqueIcon bigIcon = LoadProgramIcon(instance_, SM_CXICON, SM_CYICON, dpi);
    UniqueIcon smallIcon = LoadProgramIcon(instance_, SM_CXSMICON, SM_CYSMICON, dpi);
    if (bigIcon) {
        SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    }
    if (smallIcon) {
        SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    }
    if (bigIcon) {
        bigIcon_ = std::move(bigIcon);
    }
    if (smallIcon) {
        smallIcon_ = std::move(smallIcon);
    }
    listExtent_.MeasureAll(Control(ControlId::list), font_.get());
}

}  // namespace foliomix::win32
