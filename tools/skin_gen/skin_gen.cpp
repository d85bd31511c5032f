// Draws the panel's skin from the manifest: every image the program names, for the Chinese
// ("kqcn") and English ("kqen") folders. Usage: skin_gen MANIFEST OUTPUT_UI_FOLDER
#include <juce_gui_basics/juce_gui_basics.h>
#include <map>

namespace
{
const juce::Colour background(0xFF2C343F), control(0xFF4B5169), accent(0xFF5BCBFB);
const juce::Colour textColour(0xFFE8EDF3), dimText(0xFF8A93A6), edge(0xFF5E6682);

juce::Typeface::Ptr typeface;

juce::Font font(float height, bool bold = false)
{
    juce::Font f = typeface != nullptr ? juce::Font(typeface) : juce::Font();
    f.setHeight(height);
    if (bold) f.setBold(true);
    return f;
}

struct entry
{
    juce::String path, style, label;
    int w = 0, h = 0;
};

struct text_item
{
    juce::Rectangle<int> area;
    float size;
    juce::String label;
};

juce::String pick(const juce::String& label, bool english)
{
    if (!label.containsChar('|')) return label == "-" ? juce::String() : label;
    return english ? label.fromFirstOccurrenceOf("|", false, false)
                   : label.upToFirstOccurrenceOf("|", false, false);
}

enum state
{
    disabled,
    normal,
    over,
    on,
    pressed
};

void label_text(juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area, juce::Colour colour,
                float size)
{
    g.setColour(colour);
    g.setFont(font(size));
    g.drawFittedText(text, area, juce::Justification::centred, 2, 0.8f);
}

// A rounded control face in one of its states.
void face(juce::Graphics& g, int w, int h, state s, float corner)
{
    auto r = juce::Rectangle<float>(0, 0, (float)w, (float)h).reduced(0.5f);
    juce::Colour fill = s == disabled  ? control.darker(0.45f)
                        : s == on      ? accent.withAlpha(0.9f)
                        : s == pressed ? control.darker(0.25f)
                        : s == over    ? control.brighter(0.25f)
                                       : control;
    g.setGradientFill(
        juce::ColourGradient(fill.brighter(0.08f), 0, 0, fill.darker(0.08f), 0, (float)h, false));
    g.fillRoundedRectangle(r, corner);
    g.setColour(s == on ? accent.brighter(0.4f) : s == over ? accent.withAlpha(0.8f) : edge);
    g.drawRoundedRectangle(r, corner, s == over ? 1.5f : 1.0f);
}

juce::Colour face_text(state s)
{
    return s == disabled ? dimText.darker(0.3f) : s == on ? juce::Colour(0xFF10202C) : textColour;
}

void draw_button(juce::Graphics& g, int w, int h, state s, const juce::String& text)
{
    face(g, w, h, s, juce::jmin(6.0f, h * 0.3f));
    label_text(g, text, {2, 0, w - 4, h}, face_text(s), juce::jmin(16.0f, h * 0.55f));
}

void draw_tile(juce::Graphics& g, int w, int h, state s, const juce::String& text)
{
    face(g, w, h, s, 10.0f);
    // A small level meter as the tile's emblem.
    const auto c = face_text(s).withAlpha(0.8f);
    g.setColour(c);
    for (int i = 0; i < 5; ++i)
    {
        const float bh = 8.0f + (float)((i * 7) % 19);
        g.fillRoundedRectangle(22.0f + i * 9.0f, h * 0.5f + 14 - bh, 5.0f, bh, 2.0f);
    }
    label_text(g, text, {80, 0, w - 90, h}, face_text(s), 24.0f);
}

void draw_speaker(juce::Graphics& g, int w, int h, state s)
{
    const auto c = s == disabled ? dimText.darker(0.3f) : s == over ? accent : textColour;
    g.setColour(c);
    juce::Path p;
    p.startNewSubPath(2, h * 0.35f);
    p.lineTo(6, h * 0.35f);
    p.lineTo(10, 2);
    p.lineTo(10, h - 2.0f);
    p.lineTo(6, h * 0.65f);
    p.lineTo(2, h * 0.65f);
    p.closeSubPath();
    g.fillPath(p);
    if (s == on) // muted
    {
        g.setColour(juce::Colour(0xFFFF5A5A));
        g.drawLine(12, 4, (float)w - 1, h - 4.0f, 1.8f);
        g.drawLine(12, h - 4.0f, (float)w - 1, 4, 1.8f);
    }
    else
    {
        g.drawLine(13, h * 0.35f, 13, h * 0.65f, 1.5f);
        g.drawLine(16, h * 0.2f, 16, h * 0.8f, 1.5f);
    }
}

void draw_switch(juce::Graphics& g, int w, int h, state s)
{
    auto r = juce::Rectangle<float>(0, 0, (float)w, (float)h).reduced(1);
    g.setColour(s == on         ? accent
                : s == disabled ? control.darker(0.4f)
                                : control.brighter(s == over ? 0.3f : 0));
    g.fillRoundedRectangle(r, r.getHeight() / 2);
    const float d = r.getHeight() - 4;
    g.setColour(s == disabled ? dimText : juce::Colours::white);
    g.fillEllipse(s == on ? r.getRight() - d - 2 : r.getX() + 2, r.getY() + 2, d, d);
}

void draw_title(juce::Graphics& g, int w, int h, const juce::String& text)
{
    g.setGradientFill(
        juce::ColourGradient(juce::Colour(0xFF323B48), 0, 0, juce::Colour(0xFF252C36), 0, (float)h, false));
    g.fillAll();
    g.setColour(accent);
    g.fillRoundedRectangle(12, 9, 16, 16, 4);
    g.setColour(background);
    g.fillRect(18.0f, 13.0f, 4.0f, 8.0f);
    label_text(g, text, {38, 0, 400, h}, textColour, 16.0f);
    g.setColour(juce::Colours::black.withAlpha(0.4f));
    g.drawHorizontalLine(h - 1, 0, (float)w);
}

void draw_title_button(juce::Graphics& g, int w, int h, state s, const juce::String& kind)
{
    if (s == over || s == pressed)
    {
        g.setColour(kind == "close" ? juce::Colour(0xFFE04848).withAlpha(s == pressed ? 1.0f : 0.8f)
                                    : control.brighter(s == pressed ? 0.0f : 0.2f));
        g.fillRoundedRectangle(1, 4, w - 2.0f, h - 8.0f, 4);
    }
    g.setColour(textColour);
    const float cx = w * 0.5f, cy = h * 0.5f;
    if (kind == "close")
    {
        g.drawLine(cx - 5, cy - 5, cx + 5, cy + 5, 1.6f);
        g.drawLine(cx - 5, cy + 5, cx + 5, cy - 5, 1.6f);
    }
    else // the width toggle: shows and hides the sound board
    {
        g.drawRect(cx - 7, cy - 6, 14.0f, 12.0f, 1.4f);
        g.fillRect(cx + 1, cy - 6, 6.0f, 12.0f);
    }
}

void draw_strip(juce::Graphics& g, int w, int h, int kind)
{
    // 0 not connected, 1-3 connecting frames, 4 wired connected, 5 wireless connected
    g.setColour(control.darker(0.3f));
    g.fillRoundedRectangle(0, 0, (float)w, (float)h, h / 2.0f);
    const int segments = 8;
    for (int i = 0; i < segments; ++i)
    {
        juce::Colour c = control.brighter(0.1f);
        if (kind == 0) c = juce::Colour(0xFF6B4450);
        if (kind >= 1 && kind <= 3 && i % 3 == kind - 1) c = accent;
        if (kind == 4) c = accent;
        if (kind == 5) c = juce::Colour(0xFF6EE7A8);
        g.setColour(c);
        g.fillRoundedRectangle(3.0f + i * ((w - 6.0f) / segments), 3.0f, (w - 6.0f) / segments - 3.0f,
                               h - 6.0f, 2);
    }
}

void draw_mic(juce::Graphics& g, int w, int h, bool lit)
{
    const auto body = lit ? juce::Colour(0xFFDDE3EA) : juce::Colour(0xFF6A7080);
    const float cx = w * 0.5f;
    // head
    juce::Rectangle<float> head(cx - 30, 8, 60, 82);
    g.setGradientFill(
        juce::ColourGradient(body, head.getX(), 0, body.darker(0.5f), head.getRight(), 0, false));
    g.fillRoundedRectangle(head, 30);
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    for (float y = 22; y < 84; y += 6)
        g.drawHorizontalLine((int)y, head.getX() + 8, head.getRight() - 8);
    if (lit)
    {
        g.setColour(accent);
        g.fillRoundedRectangle(cx - 22, 88, 44, 4, 2);
    }
    // stand
    g.setColour(body.darker(0.3f));
    g.fillRect(cx - 4, 94.0f, 8.0f, h - 117.0f);
    g.fillRoundedRectangle(cx - 34, h - 23.0f, 68, 12, 5);
    g.setColour(lit ? accent.withAlpha(0.6f) : juce::Colours::transparentBlack);
    g.drawRoundedRectangle(head.expanded(3), 33, 1.5f);
}

void draw_battery(juce::Graphics& g, int w, int h, int level)
{
    g.setColour(textColour);
    g.drawRoundedRectangle(0.5f, 0.5f, w - 4.0f, h - 1.0f, 2, 1);
    g.fillRect(w - 3, h / 2 - 3, 3, 6);
    const auto fill = level <= 1   ? juce::Colour(0xFFFF5A5A)
                      : level <= 2 ? juce::Colour(0xFFFFB020)
                                   : juce::Colour(0xFF6EE7A8);
    g.setColour(fill);
    const float full = w - 8.0f;
    g.fillRect(2.0f, 2.0f, full * level / 6.0f, h - 4.0f);
}

void draw_state(juce::Graphics& g, int w, int h, const juce::String& text, const juce::String& path)
{
    const bool good = path.contains("work") || path.contains("connected");
    const bool pairing = path.contains("pair");
    const auto dot = good ? juce::Colour(0xFF6EE7A8) : pairing ? juce::Colour(0xFFFFB020) : dimText;
    g.setColour(dot);
    g.fillEllipse(1, h / 2.0f - 4, 8, 8);
    g.setColour(textColour);
    g.setFont(font(12.5f));
    g.drawFittedText(text, {13, 0, w - 13, h}, juce::Justification::centredLeft, 1, 0.7f);
}

void draw_panel(juce::Graphics& g, int w, int h, const juce::String& title)
{
    g.setGradientFill(juce::ColourGradient(background.brighter(0.05f), 0, 0, background, 0, (float)h, false));
    g.fillAll();
    if (title.isNotEmpty())
    {
        g.setColour(accent);
        g.fillRect(14, 12, 3, 16);
        g.setColour(textColour);
        g.setFont(font(16));
        g.drawText(title, 24, 8, 300, 24, juce::Justification::centredLeft);
        g.setColour(edge.withAlpha(0.5f));
        g.drawHorizontalLine(36, 14, w - 14.0f);
    }
    g.setColour(edge.withAlpha(0.6f));
    g.drawRect(0, 0, w, h, 1);
}

void draw_sidebar(juce::Graphics& g, int w, int h)
{
    g.setGradientFill(
        juce::ColourGradient(juce::Colour(0xFF232A33), 0, 0, juce::Colour(0xFF1E242C), 0, (float)h, false));
    g.fillAll();
    g.setColour(edge.withAlpha(0.5f));
    g.drawVerticalLine(w - 1, 0, (float)h);
}

void draw_colour(juce::Graphics& g, int w, int h, state s, juce::Colour c)
{
    const auto r = juce::Rectangle<float>(0, 0, (float)w, (float)h).reduced(6);
    g.setColour(s == disabled ? c.withSaturation(c.getSaturation() * 0.3f).darker(0.6f) : c);
    g.fillEllipse(r);
    if (s == on)
    {
        g.setColour(juce::Colours::white);
        g.drawEllipse(r.expanded(3), 3);
        g.setColour(juce::Colours::black.withAlpha(0.6f));
        juce::Path tick;
        tick.startNewSubPath(r.getCentreX() - 9, r.getCentreY());
        tick.lineTo(r.getCentreX() - 2, r.getCentreY() + 7);
        tick.lineTo(r.getCentreX() + 10, r.getCentreY() - 7);
        g.strokePath(tick, juce::PathStrokeType(3.0f));
    }
    else if (s == over)
    {
        g.setColour(accent);
        g.drawEllipse(r.expanded(2), 2);
    }
}

void track(juce::Graphics& g, juce::Rectangle<float> r, bool enabled, bool vertical)
{
    g.setColour(juce::Colours::black.withAlpha(0.45f));
    const auto groove =
        vertical ? r.withSizeKeepingCentre(4, r.getHeight()) : r.withSizeKeepingCentre(r.getWidth(), 4);
    g.fillRoundedRectangle(groove, 2);
    g.setColour(enabled ? accent.withAlpha(0.55f) : control);
    g.drawRoundedRectangle(groove, 2, 1);
}

void thumb(juce::Graphics& g, juce::Rectangle<float> r, int index)
{
    // 1 disabled, 2 normal, 3 over, 4 dragged
    const auto c = index == 1   ? control
                   : index == 2 ? textColour
                   : index == 3 ? accent.brighter(0.3f)
                                : accent;
    g.setColour(c);
    g.fillEllipse(r.reduced(1));
    g.setColour(background);
    g.drawEllipse(r.reduced(1), 1);
}

using painter = std::function<void(juce::Graphics&)>;

struct writer
{
    juce::File root;
    std::map<juce::String, std::vector<text_item>>& texts;
    bool english;
    int written = 0;

    void write(const juce::String& subPath, int w, int h, const painter& paint)
    {
        juce::Image img(subPath.endsWithIgnoreCase(".jpg") ? juce::Image::RGB : juce::Image::ARGB, w, h,
                        true);
        {
            juce::Graphics g(img);
            paint(g);
            for (auto& t : texts[subPath])
                label_text(g, pick(t.label, english), t.area, dimText.brighter(0.35f), t.size);
        }
        auto file = root.getChildFile(subPath.replaceCharacter('\\', '/'));
        file.getParentDirectory().createDirectory();
        file.deleteFile();
        juce::FileOutputStream out(file);
        bool ok = out.openedOk();
        if (ok && subPath.endsWithIgnoreCase(".jpg"))
        {
            juce::JPEGImageFormat jpeg;
            jpeg.setQuality(0.92f);
            ok = jpeg.writeImageToStream(img, out);
        }
        else if (ok)
            ok = juce::PNGImageFormat().writeImageToStream(img, out);
        if (!ok)
        {
            std::fprintf(stderr, "skin_gen: cannot write %s\n", file.getFullPathName().toRawUTF8());
            std::exit(1);
        }
        ++written;
    }
};

void draw_entry(writer& out, const entry& e)
{
    const auto label = pick(e.label, out.english);
    const int w = e.w, h = e.h;
    auto states = [&](const std::array<state, 4>& order, auto paint)
    {
        for (int i = 0; i < 4; ++i)
        {
            const state s = order[(size_t)i];
            out.write(e.path + juce::String(i + 1) + ".png", w, h, [&](juce::Graphics& g) { paint(g, s); });
        }
    };
    const std::array<state, 4> toggleOrder{disabled, normal, over, on};
    if (e.style == "toggle")
        states(toggleOrder, [&](juce::Graphics& g, state s) { draw_button(g, w, h, s, label); });
    else if (e.style == "rectoggle") // the recorder's sets: 1 over, 2 on, 3 disabled, 4 normal
        states({over, on, disabled, normal},
               [&](juce::Graphics& g, state s) { draw_button(g, w, h, s, label); });
    else if (e.style == "offtoggle") // "off" shown as the active state: never lit
        states(toggleOrder,
               [&](juce::Graphics& g, state s) { draw_button(g, w, h, s == on ? normal : s, label); });
    else if (e.style == "tile")
        states(toggleOrder, [&](juce::Graphics& g, state s) { draw_tile(g, w, h, s, label); });
    else if (e.style == "speaker")
        states(toggleOrder, [&](juce::Graphics& g, state s) { draw_speaker(g, w, h, s); });
    else if (e.style == "switch")
        states(toggleOrder, [&](juce::Graphics& g, state s) { draw_switch(g, w, h, s); });
    else if (e.style == "colour")
        states(toggleOrder, [&](juce::Graphics& g, state s)
               { draw_colour(g, w, h, s, juce::Colour::fromString("FF" + e.label)); });
    else if (e.style == "push")
        states({disabled, pressed, normal, over},
               [&](juce::Graphics& g, state s) { draw_button(g, w, h, s, label); });
    else if (e.style == "pad")
        states({normal, normal, over, pressed},
               [&](juce::Graphics& g, state s) { draw_button(g, w, h, s, label); });
    else if (e.style == "combo")
        for (int i = 0; i < 4; ++i)
        {
            const state s = std::array<state, 4>{disabled, normal, over, pressed}[(size_t)i];
            out.write(e.path + juce::String(i + 1) + ".jpg", w, h,
                      [&](juce::Graphics& g)
                      {
                          g.fillAll(background);
                          face(g, w, h, s, 4);
                          g.setColour(face_text(s));
                          juce::Path arrow;
                          arrow.addTriangle(w - 20.0f, h * 0.42f, w - 10.0f, h * 0.42f, w - 15.0f, h * 0.62f);
                          g.fillPath(arrow);
                      });
        }
    else if (e.style == "titlebtn")
    {
        const bool update = e.label == "update";
        const std::array<state, 4> order{normal, normal, over, pressed};
        for (int i : {1, 3, 4})
            out.write(e.path + juce::String(i) + ".png", w, h,
                      [&](juce::Graphics& g)
                      {
                          if (update)
                          {
                              const state s = order[(size_t)i - 1];
                              if (s != normal) face(g, w, h - 8, s, 4);
                              label_text(g,
                                         out.english ? "Update"
                                                     : juce::String(juce::CharPointer_UTF8("固件升级")),
                                         {0, 0, w, h}, textColour, 13);
                          }
                          else
                              draw_title_button(g, w, h, order[(size_t)i - 1], e.label);
                      });
    }
    else if (e.style == "vslider" || e.style == "hslider")
    {
        const bool vertical = e.style == "vslider";
        const int tw = vertical ? w : w - 12, th = vertical ? h - 12 : h;
        for (int i : {1, 2})
            out.write(e.path + juce::String(i) + ".png", tw, th,
                      [&](juce::Graphics& g) {
                          track(g, {0, 0, (float)tw, (float)th}, i == 2, vertical);
                      });
        for (int i = 1; i <= 4; ++i)
            out.write(e.path + "th" + juce::String(i) + ".png", vertical ? w : 12, vertical ? 12 : h,
                      [&](juce::Graphics& g) {
                          thumb(g, {0, 0, 12, 12}, i);
                      });
    }
    else if (e.style == "wideslider")
    {
        out.write(e.path + "1.png", w, h,
                  [&](juce::Graphics& g) {
                      track(g, {27, 0, w - 54.0f, (float)h}, false, false);
                  });
        out.write(e.path + "2.png", w, h,
                  [&](juce::Graphics& g) {
                      track(g, {27, 0, w - 54.0f, (float)h}, true, false);
                  });
        for (int i = 1; i <= 4; ++i)
            out.write(
                e.path + "th" + juce::String(i) + ".png", 54, h,
                [&](juce::Graphics& g)
                { thumb(g, juce::Rectangle<float>(0, 0, 54, (float)h).withSizeKeepingCentre(16, 16), i); });
    }
    else if (e.style == "title")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_title(g, w, h, label); });
    else if (e.style == "panel" || e.style == "page")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_panel(g, w, h, label); });
    else if (e.style == "sidebar")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_sidebar(g, w, h); });
    else if (e.style == "strip")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_strip(g, w, h, e.label.getIntValue()); });
    else if (e.style == "mic")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_mic(g, w, h, e.label == "on"); });
    else if (e.style == "battery")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_battery(g, w, h, e.label.getIntValue()); });
    else if (e.style == "state")
        out.write(e.path, w, h, [&](juce::Graphics& g) { draw_state(g, w, h, label, e.path); });
    else
    {
        std::fprintf(stderr, "skin_gen: unknown style '%s' for %s\n", e.style.toRawUTF8(),
                     e.path.toRawUTF8());
        std::exit(1);
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: skin_gen MANIFEST OUTPUT_UI_FOLDER\n");
        return 1;
    }
    juce::ScopedJuceInitialiser_GUI juceInit;
    juce::MemoryBlock fontData;
    if (juce::File("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc").loadFileAsData(fontData))
        typeface = juce::Typeface::createSystemTypefaceFor(fontData.getData(), fontData.getSize());
    if (typeface == nullptr)
        std::fprintf(stderr, "skin_gen: no CJK font (fonts-wqy-zenhei); Chinese labels will not show\n");

    std::vector<entry> entries;
    std::map<juce::String, std::vector<text_item>> texts;
    juce::StringArray lines;
    lines.addLines(juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]).loadFileAsString());
    for (int n = 0; n < lines.size(); ++n)
    {
        const auto line = lines[n].trim();
        if (line.isEmpty() || line.startsWithChar('#')) continue;
        juce::StringArray f;
        f.addTokens(line, " \t", "");
        f.removeEmptyStrings();
        if (f[0] == "text" && f.size() >= 8)
        {
            juce::StringArray rest(f);
            rest.removeRange(0, 7);
            texts[f[1]].push_back(
                {{f[2].getIntValue(), f[3].getIntValue(), f[4].getIntValue(), f[5].getIntValue()},
                 (float)f[6].getDoubleValue(),
                 rest.joinIntoString(" ")});
            continue;
        }
        if (f.size() < 4 || f[1].getIntValue() <= 0 || f[2].getIntValue() <= 0)
        {
            std::fprintf(stderr, "skin_gen: %s:%d: cannot read '%s'\n", argv[1], n + 1, line.toRawUTF8());
            return 1;
        }
        juce::StringArray rest(f);
        rest.removeRange(0, 4);
        entries.push_back({f[0], f[3], rest.isEmpty() ? juce::String("-") : rest.joinIntoString(" "),
                           f[1].getIntValue(), f[2].getIntValue()});
    }

    const auto out = juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]);
    for (auto [folder, english] : {std::pair{"kqcn", false}, std::pair{"kqen", true}})
    {
        writer w{out.getChildFile(folder), texts, english};
        for (auto& e : entries)
            draw_entry(w, e);
        std::printf("skin_gen: %d images in %s\n", w.written, w.root.getFullPathName().toRawUTF8());
    }
    return 0;
}
