// The module contract as the host sees it, for every deliverable.
#include <dlfcn.h>

#include "tests/support.h"

namespace {

using testing_support::module_path;
using testing_support::PanelTest;

struct Deliverable {
    const char* file;
    uint32_t linkage_version;
    std::vector<std::pair<std::string, uint32_t>> gauges;  // name and header version, in order
};

const std::vector<Deliverable>& deliverables() {
    static const std::vector<Deliverable> all = {
        {"VARN_TESSARY_XPDR", 0, {{"VARN_tessary_XPDR", 610}}},
        {"tessary_nav1", 0, {{"VARN_TESSARY_NAV1", 610}}},
        {"tessary_nav2", 0, {{"VARN_TESSARY_NAV2", 610}}},
        {"tessary_com", 0, {{"VARN_TESSARY_COM", 610}}},
        {"VARN_KD_FUEL_PRESS", 0, {{"VARN_KD_FUEL_PRESS", 610}}},
        {"tq36_lfuel", 0x800, {{"tq36_lfuel", 800}}},
        {"M470_Switches", 0, {{"Landing_Lights", 700}, {"Pitot_Heat", 700}, {"Nav_Lights", 700},
                              {"Strobe_Lights", 700}, {"Taxi_Lights", 700}, {"Beacon_Lights", 700},
                              {"Panel_Lights", 700}, {"Dummy_Switch1", 700}, {"Dummy_Switch2", 700},
                              {"Dummy_Switch3", 700}, {"Stall_Heat", 700}, {"Prop_Deice", 700}, {"Stby_Vac", 700},
                              {"Aux_Fuel_Pump", 700}, {"Alt_Bat_1", 700}, {"Alt_Bat_2", 700}, {"Magneto", 700},
                              {"Prop_De_Ice_Amps", 700}, {"Nav GPS Switch", 700},
                              {"Amps_Oil_Pressure_Indicator", 700}, {"Volt_Amp_Knob_1", 700},
                              {"Volt_Amp_Knob_2", 700}, {"Suction Annunciator", 700}, {"Voltage Annunciator", 700},
                              {"Alternator1 Annunciator", 700}, {"Alternator2 Annunciator", 700},
                              {"Cabine Altitude Annunciator", 700}, {"De-Ice Press Annunciator", 700},
                              {"De-Ice Press", 700}, {"Avionics Switch", 700}}},
    };
    return all;
}

class ModuleContract : public ::testing::TestWithParam<Deliverable> {};

// The exported records as they stand in the module, before any host touched them.
TEST_P(ModuleContract, ExportedRecordsAsStored) {
    const Deliverable& d = GetParam();
    void* handle = dlopen(module_path(d.file).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto* imports = static_cast<IMPORT_TABLE*>(dlsym(handle, "ImportTable"));
    auto* linkage = static_cast<LINKAGE_HEAD*>(dlsym(handle, "Linkage"));
    ASSERT_NE(imports, nullptr);
    ASSERT_NE(linkage, nullptr);

    EXPECT_EQ(imports->panels.id, 0x0Fu);
    EXPECT_EQ(imports->panels.table, nullptr);
    EXPECT_EQ(imports->end.id, 0u);
    EXPECT_EQ(imports->end.table, nullptr);

    EXPECT_EQ(linkage->module_id, 0x13u);
    EXPECT_NE(linkage->module_init, nullptr);
    EXPECT_NE(linkage->module_deinit, nullptr);
    EXPECT_EQ(linkage->flags, 0u);
    EXPECT_EQ(linkage->status, 0u);
    EXPECT_EQ(linkage->version, d.linkage_version);

    size_t n = 0;
    for (; linkage->gauges[n] != nullptr && n <= d.gauges.size(); ++n) {
        GAUGEHDR* h = linkage->gauges[n];
        ASSERT_LT(n, d.gauges.size());
        EXPECT_STREQ(h->gauge_name, d.gauges[n].first.c_str());
        EXPECT_EQ(h->version, d.gauges[n].second);
        // The element list holds the root, a static image, and a closing null.
        ASSERT_NE(h->elements_list, nullptr);
        ASSERT_NE(h->elements_list[0], nullptr);
        EXPECT_EQ(h->elements_list[0]->type, ELEMENT_TYPE_STATIC_IMAGE);
        EXPECT_EQ(h->elements_list[1], nullptr);
        EXPECT_EQ(h->reserved_40, 0u);
        EXPECT_EQ(h->size_y_mm, 0u);
        for (uint32_t w : h->reserved_52) EXPECT_EQ(w, 0u);
        if (h->version == 610) {
            EXPECT_EQ(h->mouse_rect, nullptr);
            EXPECT_EQ(h->gauge_callback, nullptr);
        } else {
            auto* ext = reinterpret_cast<GAUGEHDR_700*>(h);
            EXPECT_NE(h->mouse_rect, nullptr);
            EXPECT_EQ(ext->user_data, 0u);
            EXPECT_EQ(ext->parameter_string, nullptr);
        }
    }
    EXPECT_EQ(n, d.gauges.size()) << "the gauges list must end with a null pointer after the last gauge";
    dlclose(handle);
}

// A module keeps no state between loads: after the host unloads it, a new load finds the
// import record as stored again.
TEST_P(ModuleContract, UnloadForgetsEverything) {
    const Deliverable& d = GetParam();
    {
        panel::Host host;
        panel::Module& m = host.load(module_path(d.file));
        host.place(m, d.gauges.front().first);
        host.frame(2);
        ASSERT_NE(m.import_table()->panels.table, nullptr);
    }
    void* handle = dlopen(module_path(d.file).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    EXPECT_EQ(handle, nullptr) << "the module is still mapped after the host unloaded it";
    if (handle) dlclose(handle);
    handle = dlopen(module_path(d.file).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(static_cast<IMPORT_TABLE*>(dlsym(handle, "ImportTable"))->panels.table, nullptr);
    dlclose(handle);
}

// Every gauge of every module can be placed, run and killed without a host fault.
TEST_P(ModuleContract, EveryGaugeRunsItsLifecycle) {
    const Deliverable& d = GetParam();
    panel::Host host;
    panel::Module& m = host.load(module_path(d.file));
    for (const auto& [name, version] : d.gauges) {
        panel::Gauge& g = host.place(m, name);
        host.frame(3);
        EXPECT_GT(g.element(0).evaluations, 0) << name;
        host.kill(g);
        EXPECT_EQ(host.tree(g.root()), nullptr) << name << ": kill must release the element tree";
    }
}

INSTANTIATE_TEST_SUITE_P(AllModules, ModuleContract, ::testing::ValuesIn(deliverables()),
                         [](const auto& info) { return std::string(info.param.file); });

// The version-610 routines, in the order and with the arguments the host relies on.
class Routines610 : public PanelTest {};

TEST_F(Routines610, InstallHandsOverTheSizeStoredDuringTheSameCall) {
    panel::Gauge& g = place("VARN_TESSARY_XPDR", "VARN_tessary_XPDR");
    std::vector<std::string> order;
    const panel::OpCall* mouse_install = nullptr;
    for (const panel::OpCall& op : host.ops()) {
        order.push_back(op.op);
        if (op.op == "mouse_list_install") mouse_install = &op;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"element_list_query", "element_list_install", "mouse_list_install",
                                               "mouse_list_register", "element_list_initialize"}));
    ASSERT_NE(mouse_install, nullptr);
    auto* root = reinterpret_cast<ELEMENT_STATIC_IMAGE*>(g.root());
    ASSERT_NE(root->image, nullptr);
    EXPECT_EQ(mouse_install->size, static_cast<char*>(root->image) + 4);
    EXPECT_EQ(mouse_install->gauge, g.header());
    auto* size = static_cast<const PIXPOINT*>(mouse_install->size);
    EXPECT_EQ(size->x, 154);
    EXPECT_EQ(size->y, 163);
}

TEST_F(Routines610, KillUnregistersTheMouseListBeforeKillingTheTree) {
    panel::Gauge& g = place("VARN_TESSARY_XPDR", "VARN_tessary_XPDR");
    host.clear_ops();
    host.kill(g);
    std::vector<std::string> order;
    for (const panel::OpCall& op : host.ops()) order.push_back(op.op);
    EXPECT_EQ(order, (std::vector<std::string>{"mouse_list_unregister", "element_list_kill"}));
    EXPECT_EQ(reinterpret_cast<ELEMENT_STATIC_IMAGE*>(g.root())->image, nullptr);
}

TEST_F(Routines610, EachFrameUpdatesGeneratesAndDraws) {
    place("VARN_TESSARY_XPDR", "VARN_tessary_XPDR");
    host.clear_ops();
    host.frame();
    std::vector<std::string> order;
    for (const panel::OpCall& op : host.ops()) order.push_back(op.op);
    EXPECT_EQ(order, (std::vector<std::string>{"element_list_update", "element_list_generate", "element_list_plot"}));
}

}  // namespace
