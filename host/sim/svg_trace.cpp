// CSvgTrace: the run's series, gathered tick by tick without allocation, and the SVG writer.
#include "host/sim/svg_trace.h"

#include "engine/geometry.h"
#include "trajectory/trajectory.h"

namespace {

// The window's position is its top-left corner; the pictures show the centre of the image,
// which is where the cursor aims it, and the screen box of the top-left corner.
// Picture size: the reachable screen with a band for the title and one for the legend.
constexpr int kPictureWidth = 1040;
constexpr int kTitleBand = 44;
constexpr int kScreenHeight = 720;
constexpr int kLegendBand = 40;
constexpr const char* kStartStyle = "fill=\"#dce8fa\" stroke=\"#2a6fdb\" stroke-dasharray=\"4 3\"";
constexpr const char* kEndStyle = "fill=\"#2a6fdb\" stroke=\"#000\"";

void WriteEscaped(std::FILE* out, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        switch (*c) {
        case '&': std::fputs("&amp;", out); break;
        case '<': std::fputs("&lt;", out); break;
        case '>': std::fputs("&gt;", out); break;
        case '"': std::fputs("&quot;", out); break;
        default: std::fputc(*c, out);
        }
    }
}

// One polyline through every point of the series and its newest point.
void WritePolyline(std::FILE* out, const CPointSeries& series, const char* style) {
    if (series.Empty()) return;
    std::fprintf(out, "<polyline %s points=\"", style);
    for (std::size_t i = 0; i < series.Count(); ++i) {
        std::fprintf(out, "%.1f,%.1f ", series.At(i).x, series.At(i).y);
    }
    std::fprintf(out, "%.1f,%.1f\"/>\n", series.Last().x, series.Last().y);
}

void WriteDots(std::FILE* out, const CPointSeries& series, const char* style) {
    std::fprintf(out, "<g %s>\n", style);
    for (std::size_t i = 0; i < series.Count(); ++i) {
        std::fprintf(out, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3\"/>\n", series.At(i).x,
                     series.At(i).y);
    }
    std::fputs("</g>\n", out);
}

// The mascot at its true size, 40 pixels across: filled blue with a black rim at the end,
// a pale ring at the start.
void WriteMascot(std::FILE* out, const CPointSeries::Point& centre, const char* style) {
    std::fprintf(out, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"19\" stroke-width=\"2\" %s/>\n",
                 centre.x, centre.y, style);
}

void WriteScreenBox(std::FILE* out) {
    std::fprintf(out,
                 "<rect x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" fill=\"#f4f6f8\"/>\n"
                 "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" "
                 "stroke=\"#888\" stroke-width=\"2\" stroke-dasharray=\"8 6\"/>\n",
                 kPictureWidth, kScreenHeight, kScreenLeft + kHalfImage, kScreenTop + kHalfImage,
                 kScreenRight - kScreenLeft, kScreenBottom - kScreenTop);
}

void WriteLegend(std::FILE* out) {
    std::fprintf(out, "<g transform=\"translate(0,%d)\" font-size=\"18\">\n", kScreenHeight);
    std::fputs(
        "<line x1=\"20\" y1=\"20\" x2=\"60\" y2=\"20\" stroke=\"#2a6fdb\" stroke-width=\"3\"/>"
        "<text x=\"68\" y=\"26\">mascot centre</text>\n"
        "<circle cx=\"240\" cy=\"20\" r=\"4\" fill=\"#c0392b\"/>"
        "<text x=\"252\" y=\"26\">key points</text>\n"
        "<line x1=\"380\" y1=\"20\" x2=\"420\" y2=\"20\" stroke=\"#e67e22\" stroke-width=\"2\" "
        "stroke-dasharray=\"6 4\"/><text x=\"428\" y=\"26\">cursor</text>\n"
        "<line x1=\"530\" y1=\"20\" x2=\"570\" y2=\"20\" stroke=\"#888\" stroke-width=\"2\" "
        "stroke-dasharray=\"8 6\"/><text x=\"578\" y=\"26\">screen box (centre)</text>\n"
        "<circle cx=\"800\" cy=\"20\" r=\"12\" fill=\"#dce8fa\" stroke=\"#2a6fdb\" "
        "stroke-width=\"2\" stroke-dasharray=\"4 3\"/>"
        "<text x=\"818\" y=\"26\">start</text>\n"
        "<circle cx=\"900\" cy=\"20\" r=\"12\" fill=\"#2a6fdb\" stroke=\"#000\" "
        "stroke-width=\"2\"/>"
        "<text x=\"918\" y=\"26\">end</text>\n</g>\n",
        out);
}

}  // namespace

void CPointSeries::Add(double x, double y) {
    m_last = {x, y};
    if (m_seen++ % m_stride != 0) return;
    if (m_count == kCapacity) {
        for (std::size_t i = 0; i < kCapacity / 2; ++i) m_points[i] = m_points[2 * i];
        m_count = kCapacity / 2;
        m_stride *= 2;
        if ((m_seen - 1) % m_stride != 0) return;
    }
    m_points[m_count++] = m_last;
}

void CSvgTrace::OnTick(const CCoreState& core, const TickPlacement& placement, std::int32_t cursorX,
                       std::int32_t cursorY) {
    ++m_ticks;
    if (!placement.topmost) ++m_duckedTicks;
    m_window.Add(placement.x + kHalfImage, placement.y + kHalfImage);
    m_cursor.Add(cursorX, cursorY);
    int keyIndex = core.store.m_keyIndex;
    constexpr int kHistorySize = sizeof(core.store.m_keyX) / sizeof(core.store.m_keyX[0]);
    if (keyIndex == m_lastKeyIndex || keyIndex < 0 || keyIndex >= kHistorySize) return;
    m_lastKeyIndex = keyIndex;
    m_keys.Add(core.store.m_keyX[keyIndex] + kHalfImage, core.store.m_keyY[keyIndex] + kHalfImage);
}

bool CSvgTrace::Write(std::FILE* out, const char* title) const {
    std::fprintf(out,
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                 "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\">\n",
                 kPictureWidth, kTitleBand + kScreenHeight + kLegendBand, kPictureWidth,
                 kTitleBand + kScreenHeight + kLegendBand);
    std::fputs(
        "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n<text x=\"20\" y=\"32\" "
        "font-size=\"26\" font-weight=\"bold\">",
        out);
    WriteEscaped(out, title);
    std::fprintf(out,
                 "</text>\n<text x=\"%d\" y=\"32\" font-size=\"18\" text-anchor=\"end\">%llu "
                 "ticks, %llu of them ducked</text>\n",
                 kPictureWidth - 20, static_cast<unsigned long long>(m_ticks),
                 static_cast<unsigned long long>(m_duckedTicks));
    std::fprintf(out, "<g transform=\"translate(0,%d)\">\n", kTitleBand);
    WriteScreenBox(out);
    WritePolyline(out, m_cursor,
                  "fill=\"none\" stroke=\"#e67e22\" stroke-width=\"2\" stroke-dasharray=\"6 4\"");
    WritePolyline(out, m_window,
                  "fill=\"none\" stroke=\"#2a6fdb\" stroke-width=\"3\" stroke-linejoin=\"round\"");
    WriteDots(out, m_keys, "fill=\"#c0392b\"");
    if (!m_window.Empty()) {
        WriteMascot(out, m_window.At(0), kStartStyle);
        WriteMascot(out, m_window.Last(), kEndStyle);
    }
    WriteLegend(out);
    std::fputs("</g>\n</svg>\n", out);
    return std::ferror(out) == 0;
}
