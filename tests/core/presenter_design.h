#pragma once
// What the requirements window's tests share: a design made as the window makes it, and files
// of the test run's own.

#include "core/document/requirements_presenter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

// At 48000 Hz: pass to 5000 Hz within 0.1 dB, 80 dB from 7000 Hz to half the rate, what a
// decimation by 4 folds onto the pass band.
inline taplore::WindowInputs Bands48k() {
    taplore::WindowInputs inputs;
    inputs.rate = "48000";
    inputs.bands = {taplore::PassRow(0, 5000), taplore::StopRow(7000, 24000)};
    inputs.bands[1].toleranceDb = 80;
    return inputs;
}

// What the presenter says is wrong with inputs, which it must refuse.
inline std::string ProblemOf(const taplore::WindowInputs& inputs) {
    taplore::RequirementsPresenter presenter;
    EXPECT_FALSE(presenter.SetInputs(inputs));
    return presenter.Problem();
}

// Sets inputs and accepts their design, as the window does once its worker hands it over; a
// fatal failure where the inputs are refused or the design is not shown.
inline void ShowDesign(taplore::RequirementsPresenter& presenter,
                       const taplore::WindowInputs& inputs) {
    const auto ask = presenter.SetInputs(inputs);
    ASSERT_TRUE(ask) << presenter.Problem();
    ASSERT_EQ(presenter.Accept(std::make_shared<const taplore::DesignShown>(DesignFor(*ask))),
              taplore::RequirementsPresenter::Accepted::shown);
}

// A suite of tests of one design: a presenter with the design of kInputs() shown, made once for
// the suite.
template <taplore::WindowInputs (*kInputs)()> class DesignedOnce : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_presenter = std::make_unique<taplore::RequirementsPresenter>();
        ShowDesign(*s_presenter, kInputs());
    }
    static void TearDownTestSuite() { s_presenter.reset(); }

    static inline std::unique_ptr<taplore::RequirementsPresenter> s_presenter;
};

// "taplore-NAME-SEED" in the temporary folder, the seed the run's own.
inline std::filesystem::path ScratchPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("taplore-" + name + "-" +
            std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
}
