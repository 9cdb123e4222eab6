#include "tools/bench/compositor.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <functional>

namespace bench {
namespace {

// DrawText format flags the strings use.
enum : uint32_t {
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_SINGLELINE = 0x20,
};

constexpr int kMaxHighlights = 64;

// Windows faces and the installed faces with the same metrics.
std::string metric_twin(const std::string& face) {
    if (strcasecmp(face.c_str(), "Arial") == 0) return "Liberation Sans";
    if (strcasecmp(face.c_str(), "Times New Roman") == 0) return "Liberation Serif";
    if (strcasecmp(face.c_str(), "Courier New") == 0) return "Liberation Mono";
    return face;
}

void set_colorref(cairo_t* cr, uint32_t colorref) {
    cairo_set_source_rgb(cr, (colorref & 0xFF) / 255.0, ((colorref >> 8) & 0xFF) / 255.0,
                         ((colorref >> 16) & 0xFF) / 255.0);
}

// An element's bitmap as a Cairo surface, see-through where the host draws nothing.
cairo_surface_t* bitmap_surface(const panel::Bitmap& b, uint32_t image_flags) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b.width, b.height);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < b.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < b.width; ++x) {
            const uint32_t rgb = b.at(x, y) & 0xFFFFFF;
            row[x] = panel::is_see_through(image_flags, rgb) ? 0u : 0xFF000000u | rgb;
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void blit(cairo_t* cr, const panel::HOST_IMAGE* image, const ELEMENT_HEADER* record) {
    if (image == nullptr || image->bitmap == nullptr) return;
    cairo_surface_t* s = bitmap_surface(*image->bitmap, record->image_flags);
    cairo_set_source_surface(cr, s, record->position.x, record->position.y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_surface_destroy(s);
}

void draw_needle(cairo_t* cr, const panel::ElementState& e) {
    if (e.image == nullptr || e.image->bitmap == nullptr) return;
    const ELEMENT_HEADER* r = e.record;
    cairo_surface_t* s = bitmap_surface(*e.image->bitmap, r->image_flags);
    // Pixel centres: the pivot pixel of the bitmap lands on the position pixel.
    const double px = r->position.x + 0.5, py = r->position.y + 0.5;
    cairo_save(cr);
    cairo_translate(cr, px, py);
    cairo_rotate(cr, atan2(e.point_y + 0.5 - py, e.point_x + 0.5 - px));
    cairo_set_source_surface(cr, s, -(r->offset.x + 0.5), -(r->offset.y + 0.5));
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

void draw_icon(cairo_t* cr, const panel::ElementState& e) {
    if (e.icon_index < 0 || static_cast<size_t>(e.icon_index) >= e.pictures.size()) return;
    blit(cr, e.pictures[static_cast<size_t>(e.icon_index)], e.record);
}

bool highlighted(const ELEMENT_STRING& s, int32_t selection, int index) {
    if (s.highlight_list == nullptr || selection == 0) return false;
    for (int i = 0; i < kMaxHighlights; ++i) {
        const HIGHLIGHT_RECORD& h = s.highlight_list[i];
        if (h.selection_id == 0 && h.first == -1) return false;  // end of the list
        if (h.selection_id == selection && index >= h.first && index <= h.last) return true;
    }
    return false;
}

void draw_string(cairo_t* cr, const panel::ElementState& e, int32_t selection) {
    const auto& s = *reinterpret_cast<const ELEMENT_STRING*>(e.record);
    const double x = s.header.position.x, y = s.header.position.y;
    const double w = s.box_size.x, h = s.box_size.y;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    set_colorref(cr, s.background_color);
    cairo_paint(cr);

    const std::string face = metric_twin(std::string(s.font_name, strnlen(s.font_name, sizeof s.font_name)));
    cairo_select_font_face(cr, face.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           s.font_weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // The text cell (ascent + descent) is as high as the box.
    cairo_set_font_size(cr, 100.0);
    cairo_font_extents_t unit;
    cairo_font_extents(cr, &unit);
    cairo_set_font_size(cr, 100.0 * h / (unit.ascent + unit.descent));
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);

    const std::string& text = e.text;
    std::vector<double> advances;
    double width = 0;
    for (char ch : text) {
        const char one[2] = {ch, 0};
        cairo_text_extents_t te;
        cairo_text_extents(cr, one, &te);
        advances.push_back(te.x_advance);
        width += te.x_advance;
    }
    double pen = x;
    if (s.text_format & DT_CENTER) pen = x + (w - width) / 2;
    else if (s.text_format & DT_RIGHT) pen = x + w - width;
    double top = y;
    if (s.text_format & DT_SINGLELINE) {
        if (s.text_format & DT_VCENTER) top = y + (h - (fe.ascent + fe.descent)) / 2;
        else if (s.text_format & DT_BOTTOM) top = y + h - (fe.ascent + fe.descent);
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char one[2] = {text[i], 0};
        set_colorref(cr, highlighted(s, selection, static_cast<int>(i)) ? s.highlight_color : s.text_color);
        cairo_move_to(cr, pen, top + fe.ascent);
        cairo_show_text(cr, one);
        pen += advances[i];
    }
    cairo_restore(cr);
}

void draw_element(cairo_t* cr, const panel::ElementState& e, int32_t selection) {
    switch (e.type) {
        case ELEMENT_TYPE_STATIC_IMAGE: blit(cr, e.image, e.record); break;
        case ELEMENT_TYPE_NEEDLE: draw_needle(cr, e); break;
        case ELEMENT_TYPE_ICON: draw_icon(cr, e); break;
        case ELEMENT_TYPE_STRING: draw_string(cr, e, selection); break;
        default: break;
    }
}

Image render(panel::Gauge& gauge, const std::function<void(cairo_t*)>& draw) {
    const PIXPOINT size = gauge.size();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(1, size.x), std::max(1, size.y));
    cairo_t* cr = cairo_create(s);
    draw(cr);
    cairo_destroy(cr);
    Image image = to_image(s);
    cairo_surface_destroy(s);
    return image;
}

}  // namespace

void draw_gauge(cairo_t* cr, panel::Gauge& gauge, int32_t selection) {
    std::vector<panel::ElementState>& elements = gauge.elements();
    // An element is left out when it, or anything it hangs from, is hidden.
    std::vector<bool> left_out(elements.size(), false);
    for (size_t i = 0; i < elements.size(); ++i) {
        const panel::ElementState& e = elements[i];
        left_out[i] = e.hidden() || (e.parent >= 0 && left_out[static_cast<size_t>(e.parent)]);
        if (!left_out[i]) draw_element(cr, e, selection);
    }
}

Image render_gauge(panel::Gauge& gauge, int32_t selection) {
    return render(gauge, [&](cairo_t* cr) { draw_gauge(cr, gauge, selection); });
}

Image render_element(panel::Gauge& gauge, size_t index, int32_t selection) {
    const panel::ElementState& e = gauge.elements().at(index);
    return render(gauge, [&](cairo_t* cr) { draw_element(cr, e, selection); });
}

Image to_image(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    Image image;
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = row[x];
            if (opaque) p |= 0xFF000000u;
            const uint32_t a = p >> 24;
            uint32_t out = 0;
            if (a != 0) {
                auto un = [&](int shift) { return std::min<uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a); };
                out = a << 24 | un(16) << 16 | un(8) << 8 | un(0);
            }
            image.pixels[static_cast<size_t>(y) * image.width + x] = out;
        }
    }
    return image;
}

cairo_surface_t* to_surface(const Image& image) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.at(x, y);
            const uint32_t a = p >> 24;
            auto pre = [&](int shift) { return (((p >> shift) & 0xFF) * a + 127) / 255; };
            row[x] = a << 24 | pre(16) << 16 | pre(8) << 8 | pre(0);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

bool write_png(const Image& image, const std::string& path) {
    cairo_surface_t* s = to_surface(image);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

}  // namespace bench
