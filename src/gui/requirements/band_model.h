#pragma once
// The requirements window's band table: each row a pass or stop band with its edges in Hz and
// the ripple (pass) or attenuation (stop) it asks for, edited in place.

#include <QAbstractTableModel>
#include <QVector>

// One row of the table.
struct BandRow {
    bool pass = true;
    double lowHz = 0.0;
    double highHz = 0.0;
    double toleranceDb = 0.0; // peak-to-peak ripple of a pass band, attenuation of a stop band
};

// The four shapes a new design starts from, scaled to the rate.
enum class BandPreset { lowPass, highPass, bandPass, bandStop };

class BandModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kind, low, high, tolerance, columns };

    explicit BandModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Numbers are read with "." whatever the locale; a text that is no number is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const QVector<BandRow>& Bands() const { return m_bands; }
    void SetBands(QVector<BandRow> bands);
    void SetPreset(BandPreset preset, double rate);
    // A band after row (at the end for -1), of the other kind, in the middle third of the gap
    // up to the next band or half the rate.
    void AddBand(int row, double rate);
    void RemoveBand(int row);

private:
    QVector<BandRow> m_bands;
};
