// The driver's JSON report: the time base and requests of the viewer state, the axes with their
// labels, every control's place and state, the series as plotted, each source's statistics and,
// when asked, the store's rows.
#include <algorithm>
#include <cmath>
#include <functional>

#include "data/series_building.h"
#include "runtime/calendar.h"
#include "tools/lib/json_writer.h"
#include "tools/lib/snapshot_driver.h"

namespace pvz {

namespace {

void writeRect(JsonWriter& w, std::string_view name, const Rect& r) {
    w.key(name).beginObject();
    w.member("left", r.left);
    w.member("top", r.top);
    w.member("right", r.right);
    w.member("bottom", r.bottom);
    w.endObject();
}

void writeAxis(JsonWriter& w, std::string_view name, TChartAxis& axis) {
    w.key(name).beginObject();
    w.member("Minimum", axis.Minimum());
    w.member("Maximum", axis.Maximum());
    w.member("Increment", axis.Increment());
    w.member("MinorTickCount", axis.MinorTickCount());
    w.member("Automatic", axis.Automatic());
    w.member("AutomaticMinimum", axis.AutomaticMinimum());
    w.member("AutomaticMaximum", axis.AutomaticMaximum());
    w.member("EffectiveMinimum", axis.EffectiveMinimum());
    w.member("EffectiveMaximum", axis.EffectiveMaximum());
    w.member("StartPixel", axis.StartPixel());
    w.member("EndPixel", axis.EndPixel());
    w.key("labels").beginArray();
    std::vector<double> values;
    axis.LabelValues(axis.LabelStep(), values);
    for (const double v : values) {
        w.beginObject();
        w.member("value", v);
        w.member("text", axis.LabelText(v));
        w.member("pixel", axis.ValueToPixel(v));
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

template <typename T, int First, int Last>
void writeFlags(JsonWriter& w, std::string_view name, const IndexedArray<T, First, Last>& flags) {
    w.key(name).beginArray();
    for (int i = First; i <= Last; ++i) w.value(flags[i]);
    w.endArray();
}

void writeState(JsonWriter& w, const ViewerState& s, const ObservationStore& store) {
    w.key("state").beginObject();
    w.member("yesterdayDay", s.yesterdayDay);
    w.member("yesterdayMjd", s.yesterdayMjd);
    w.member("mjdToDayOffset", s.mjdToDayOffset);
    w.member("baseMjd", s.baseMjd);
    w.member("currentWeek", s.currentWeek);
    w.member("firstWeek", s.firstWeek);
    w.member("homeStartMjd", s.homeStartMjd);
    w.member("homeEndMjd", s.homeEndMjd);
    w.member("timeShiftDays", s.timeShiftDays);
    w.member("windowStartMjd", s.windowStartMjd);
    w.member("windowEndMjd", s.windowEndMjd);
    w.member("selectedParameter", s.selectedParameter);
    w.member("showTrend", s.showTrend);
    w.member("view", s.showDifferences ? "differences" : "series");
    w.member("trendSlope", s.trendSlope);
    w.member("running", s.running);
    w.member("redrawRequested", s.redrawRequested);
    w.member("autoFitRequested", s.autoFitRequested);
    w.member("rescaleRequested", s.rescaleRequested);
    w.member("shiftPending", s.shiftPending);
    w.member("shiftRepeating", s.shiftRepeating);
    w.member("timeButtonReleased", s.timeButtonReleased);
    writeFlags(w, "buttonHeld", s.buttonHeld);
    w.member("visorX", s.visorX);
    w.member("visorY", s.visorY);
    w.member("screenWidth", s.screenWidth);
    w.member("anyFileFound", store.anyFileFound);
    writeFlags(w, "slotLoaded", store.slotLoaded);
    writeFlags(w, "seriesChecked", s.seriesChecked);
    w.member("anySeriesChecked", s.anySeriesChecked);
    w.member("dataDirectory", store.dataDirectory);
    w.endObject();
}

// Geometry and state of one component; `extra` adds what its kind has.
void writeControl(JsonWriter& w, std::string_view name, const Control& c,
                  const std::function<void(JsonWriter&)>& extra = {}) {
    w.key(name).beginObject();
    w.member("left", c.left());
    w.member("top", c.top());
    w.member("width", c.width());
    w.member("height", c.height());
    w.member("enabled", c.enabled());
    w.member("visible", c.visible());
    w.member("tag", c.tag());
    if (extra) extra(w);
    w.endObject();
}

void writeControls(JsonWriter& w, TForm1& f) {
    w.key("controls").beginObject();
    writeControl(w, "Chart", *f.Chart);
    for (int tag = 1; tag <= kSeriesSlotCount; ++tag) {
        const CheckBox& box = f.seriesCheckBox(tag);
        writeControl(w, "CheckBox" + std::to_string(tag), box, [&](JsonWriter& j) {
            j.member("checked", box.checked());
            j.member("caption", box.caption());
        });
    }
    const std::pair<const char*, SpeedButton*> buttons[] = {
        {"SpeedButton1", f.SpeedButton1.get()},       {"SpeedButton2", f.SpeedButton2.get()},
        {"SpeedButton3", f.SpeedButton3.get()},       {"SpeedButton4", f.SpeedButton4.get()},
        {"SpeedButton5", f.SpeedButton5.get()},       {"SpeedButton6", f.SpeedButton6.get()},
        {"SpeedButtonUndo", f.SpeedButtonUndo.get()}, {"SpeedButtonDifferences", f.SpeedButtonDifferences.get()}};
    for (const auto& [name, button] : buttons)
        writeControl(w, name, *button, [&](JsonWriter& j) {
            j.member("hint", button->hint());
            j.member("down", button->down());
        });
    writeControl(w, "StatusBar1", *f.StatusBar1,
                 [&](JsonWriter& j) { j.member("caption", f.StatusBar1->simpleText()); });
    writeControl(w, "BitBtnStart", *f.BitBtnStart, [&](JsonWriter& j) {
        j.member("caption", f.BitBtnStart->caption());
        j.member("fontColor", static_cast<std::int64_t>(f.BitBtnStart->font().color));
    });
    const std::pair<const char*, ComboBox*> combos[] = {{"ComboBoxScaleY", f.ComboBoxScaleY.get()},
                                                        {"ComboBoxGrid", f.ComboBoxGrid.get()}};
    for (const auto& [name, combo] : combos) {
        writeControl(w, name, *combo, [&](JsonWriter& j) {
            j.member("itemIndex", combo->itemIndex());
            j.member("text", combo->text());
            j.key("items").beginArray();
            for (int i = 0; i < combo->itemCount(); ++i) j.value(combo->item(i));
            j.endArray();
        });
    }
    const std::pair<const char*, GroupBox*> groups[] = {{"GroupBoxScales", f.GroupBoxScales.get()},
                                                        {"GroupBox2", f.GroupBox2.get()},
                                                        {"GroupBox1", f.GroupBox1.get()},
                                                        {"GroupBox3", f.GroupBox3.get()}};
    for (const auto& [name, group] : groups)
        writeControl(w, name, *group, [&](JsonWriter& j) { j.member("caption", group->caption()); });
    const std::pair<const char*, StaticText*> texts[] = {{"StaticText3", f.StaticText3.get()},
                                                         {"StaticText5", f.StaticText5.get()},
                                                         {"StaticTextX", f.StaticTextX.get()},
                                                         {"StaticTextY", f.StaticTextY.get()}};
    for (const auto& [name, text] : texts)
        writeControl(w, name, *text, [&](JsonWriter& j) { j.member("caption", text->caption()); });
    writeControl(w, "EditScale", *f.EditScale, [&](JsonWriter& j) { j.member("text", f.EditScale->text()); });
    const std::pair<const char*, CheckBox*> boxes[] = {{"CheckBoxChoise", f.CheckBoxChoise.get()},
                                                       {"CheckBoxViz", f.CheckBoxViz.get()}};
    for (const auto& [name, box] : boxes)
        writeControl(w, name, *box, [&](JsonWriter& j) {
            j.member("checked", box->checked());
            j.member("caption", box->caption());
        });
    const std::pair<const char*, RadioGroup*> radios[] = {{"RadioGroupPVZ", f.RadioGroupPVZ.get()},
                                                          {"RadioGroupInterval", f.RadioGroupInterval.get()},
                                                          {"RadioGroupTrend", f.RadioGroupTrend.get()}};
    for (const auto& [name, radio] : radios)
        writeControl(w, name, *radio, [&](JsonWriter& j) {
            j.member("caption", radio->caption());
            j.member("itemIndex", radio->itemIndex());
        });
    const std::pair<const char*, Label*> labels[] = {{"Label1", f.Label1.get()}, {"Label2", f.Label2.get()}};
    for (const auto& [name, label] : labels)
        writeControl(w, name, *label, [&](JsonWriter& j) { j.member("caption", label->caption()); });
    for (const auto& [name, timer] : {std::pair<const char*, Timer*>{"Timer1", f.Timer1.get()},
                                      std::pair<const char*, Timer*>{"Timer2", f.Timer2.get()}}) {
        w.key(name).beginObject();
        w.member("interval", timer->interval());
        w.endObject();
    }
    w.endObject();
}

// Each source against the reference, in the series' units, for the series that have statistics;
// "std" is null for a single point.
void writeStatistics(JsonWriter& w, TForm1& f) {
    const SeriesStatistics& statistics = f.displayCycle().statistics();
    w.key("statistics").beginArray();
    for (int i = 1; i < kSeriesSlotCount; ++i) {
        const DifferenceStatistics& s = statistics.bySeries[static_cast<std::size_t>(i)];
        if (s.count == 0) continue;
        w.beginObject();
        w.member("index", i);
        w.member("title", f.seriesAt(i).Title());
        w.member("n", s.count);
        w.member("mean", s.mean);
        w.member("std", s.deviation);
        w.endObject();
    }
    w.endArray();
}

void writeStore(JsonWriter& w, const ObservationStore& store) {
    w.key("slots").beginArray();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        w.beginObject();
        w.member("slot", slot);
        w.member("loaded", store.slotLoaded[slot]);
        w.key("rows").beginArray();
        for (int row = 1; row <= kRowCount; ++row) {
            if (store.observations(row, slot, kindMJD) == missingValue) break;
            w.beginArray();
            for (int kind = kindUT1; kind <= kindMJD; ++kind) w.value(store.observations(row, slot, kind));
            w.endArray();
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
}

}  // namespace

std::string SnapshotDriver::json(bool withStore) {
    TForm1& f = *form_;
    JsonWriter w;
    w.beginObject();
    writeState(w, f.state, f.store);
    w.member("status", f.StatusBar1->simpleText());
    w.member("editScale", f.EditScale->text());
    w.member("staticTextX", f.StaticTextX->caption());
    w.member("staticTextY", f.StaticTextY->caption());
    writeRect(w, "plotRect", f.Chart->PlotRect());
    writeRect(w, "legendRect", f.Chart->Legend().LegendRect());
    w.key("axes").beginObject();
    writeAxis(w, "BottomAxis", f.Chart->BottomAxis());
    writeAxis(w, "LeftAxis", f.Chart->LeftAxis());
    w.endObject();
    w.key("weekNumbers").beginArray();
    for (const DrawnText& t : f.drawnWeekNumbers()) {
        w.beginObject();
        w.member("x", t.x);
        w.member("y", t.y);
        w.member("text", t.text);
        w.endObject();
    }
    w.endArray();
    w.key("series").beginArray();
    for (int i = 0; i < f.Chart->SeriesCount(); ++i) {
        const TChartSeries& s = f.Chart->Series(i);
        w.beginObject();
        w.member("index", i);
        w.member("title", s.Title());
        w.key("points").beginArray();
        for (int k = 0; k < s.Count(); ++k) {
            w.beginArray();
            w.value(s.XValues()[k]);
            w.value(s.YValues()[k]);
            w.endArray();
        }
        w.endArray();
        w.endObject();
    }
    w.endArray();
    writeStatistics(w, f);
    writeControls(w, f);
    w.key("messages").beginArray();
    for (const std::string& m : messages()) w.value(m);
    w.endArray();
    w.member("drawings", f.Chart->drawingCount());
    w.member("ended", ended_);
    w.member("elapsedMs", elapsedMs());
    if (withStore) writeStore(w, f.store);
    w.endObject();
    return w.text();
}

}  // namespace pvz
