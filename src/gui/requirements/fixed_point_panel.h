#pragma once
// CFixedPointPanel: the requirements window's fixed-point arithmetic, used while its group box
// is checked: the input, output and accumulator widths, overflow and rounding, the overflows of
// a full-scale chirp through the bit-true model, the fewest coefficient bits, and whether the
// taps' integers are those the search found. The taps' width is the window's Bits field, which
// the integer exports take too. For a rate change it tells the stages' rounding instead, and
// greys what models one filter alone.

#include "core/document/requirements_presenter.h"

#include <QGroupBox>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;

class CFixedPointPanel : public QGroupBox {
    Q_OBJECT

public:
    CFixedPointPanel(taplore::RequirementsPresenter& presenter, QWidget* parent);
    // Stops a search under way and waits for its thread.
    ~CFixedPointPanel() override;

    // The taps' width as the Bits field holds it.
    void SetTapBits(const QString& bits);
    // Search roundings applies to linear-phase taps only.
    void SetLinearPhase(bool linear);
    void Restore(const QSettings& settings);
    void Save(QSettings& settings) const;

signals:
    // The arithmetic changed, or the panel was turned on or off: the design is asked again.
    void changed();
    // The fewest bits found, "B.F" as the Bits field takes them.
    void fewestBitsFound(const QString& bits);

public slots:
    // A design is shown: its chirp's overflows; a search for the one before is dropped.
    void OnDesignShown();

private slots:
    void OnToggled(bool on);
    void OnArithmeticChanged();
    void OnFewestBits();

private:
    QWidget* Body();
    taplore::FixedPointInputs ReadInputs() const;
    // A search under way stops, its result dropped.
    void StopSearch();
    void ShowFewest(const std::optional<taplore::FewestBits>& found);
    void WithholdFor(const taplore::FixedPointTexts& texts);

    taplore::RequirementsPresenter& m_presenter;
    QWidget* m_body;
    QLineEdit* m_editInput;
    QLineEdit* m_editOutput;
    QLineEdit* m_editAccumulator;
    QComboBox* m_comboOverflow;
    QComboBox* m_comboRounding;
    QCheckBox* m_checkSearch;
    QPushButton* m_buttonFewest;
    QLabel* m_labelProblem;
    QLabel* m_labelOverflows;
    QLabel* m_labelFewest;
    QString m_tapBits = "16";
    bool m_linear = true;
    QString m_searchOff; // why the search does not apply to the design shown, or empty
    // The search runs on a thread of its own; a result for a design no longer shown is dropped.
    QThreadPool m_pool;
    int m_search = 0;
    std::shared_ptr<std::atomic<bool>> m_stop;
};
