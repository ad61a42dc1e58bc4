#include "sample_class.hpp"

#include "Automation/error.hpp"
#include "Automation/top_level_call.hpp"
#include "Platform/Desktop/desktop.hpp"

namespace lumora::tests {

namespace {

class Sample : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;

    std::string caption = "untitled";
};

Variant greet(Sample&, Args& a) {
    std::string greeting = a.valueOr(1, "Hello").toString();
    std::string punctuation = a.valueOr(2, "!").toString();
    return greeting + ", " + a[0].toString() + punctuation;
}

// Opens a progress window and works `steps` steps, pumping after each, until its Cancel button
// is clicked: returns the steps done.
Variant progress(Sample&, Args& a) {
    auto& desktop = desktop::current();
    desktop::WindowId window = desktop.openWindow(
        {"frmProgress", "Working", {{"lblStatus", "Starting"}}, {{"cmdCancel", "Cancel"}}, 0});
    int32_t done = 0;
    for (int32_t steps = a[0].toI4(); done < steps; ++done) {
        bool cancelled = false;
        for (const auto& event : desktop.pumpEvents())
            cancelled |= event.kind == desktop::WindowEventKind::Click && event.control == "cmdCancel";
        if (cancelled) break;
        desktop.updateWindow(window, {.labels = {{"lblStatus", "Step " + std::to_string(done + 1)}}});
    }
    desktop.closeWindow(window);
    return done;
}

// Work of a call that cannot be made durable when the call ends, as a store on a full disk.
class WorkOnAFullDisk final : public CallParticipant {
public:
    void settle() noexcept override { m_lost = true; }
    void raiseSettleFailure() override {
        if (!m_lost) return;
        m_lost = false;
        throw Error(61, "Disk full");
    }

private:
    bool m_lost = false;
};

Variant writeOnAFullDisk(Sample&, Args&) {
    static thread_local WorkOnAFullDisk work;
    if (TopLevelCall* call = TopLevelCall::current()) call->join(work);
    return Variant("written");
}

const TypeInfo& Sample::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Sample");
        t.method<Sample>("Echo", 0x60030001, {"value"}, 1, [](Sample&, Args& a) { return a[0]; });
        t.method<Sample>("TypeOf", 0x60030002, {"value"}, 0,
                         [](Sample&, Args& a) { return Variant(a[0].typeName()); });
        t.method<Sample>("Twice", 0x60030003, {"number"}, 1, [](Sample&, Args& a) {
            a.ref(0) = a[0].toI4() * 2;
            return Variant("doubled");
        });
        t.method<Sample>("Greet", 0x60030004, {"name", "greeting", "punctuation"}, 1, greet);
        t.method<Sample>("WriteOnAFullDisk", 0x6003000e, {}, 0, writeOnAFullDisk);
        t.method<Sample>("Fail", 0x60030005, {"description"}, 1, [](Sample&, Args& a) -> Variant {
            throw Error::objectError(kSampleErrorOffset, a[0].toString(), "LumoraHostTest.Sample.Fail");
        });
        t.method<Sample>("Ask", 0x60030006, {"strMessage", "intButtons", "strTitle"}, 1, [](Sample&, Args& a) {
            return Variant(desktop::current().messageBox(
                {a[0].toString(), a.valueOr(2, "LumoraHostTest").toString(), a.valueOr(1, int16_t{0}).toI2()}));
        });
        t.method<Sample>("Progress", 0x60030007, {"steps"}, 1, progress);
        t.method<Sample>("Child", 0x60030008, {}, 0, [](Sample&, Args&) { return Variant(makeSample()); });
        t.method<Sample>("Now", 0x60030009, {}, 0, [](Sample&, Args&) { return Variant(desktop::current().now()); });
        // An object of a class the caller did not create: a document the member makes itself.
        t.method<Sample>("Scratch", 0x6003000b, {}, 0, [](Sample&, Args&) {
            return Variant(Registry::instance().createObject("Msxml2.DOMDocument"));
        });
        t.getter<Sample>("Caption", 0x6003000a, [](Sample& s) { return Variant(s.caption); });
        t.setter<Sample>("Caption", 0x6003000a, [](Sample& s, const Variant& v) { s.caption = v.toString(); });
        return t;
    }();
    return info;
}

}  // namespace

Object makeSample() { return makeObject<Sample>(); }

void registerSampleClass() {
    Registry::instance().registerBuiltin(ClassInfo{kSampleProgId, kSampleClsid, {}, makeSample, false});
}

}  // namespace lumora::tests
