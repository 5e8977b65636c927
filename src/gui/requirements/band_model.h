#pragma once
// The requirements window's band table: each row a pass or stop band with its edges in Hz, the
// ripple (pass) or attenuation (stop) it asks for and a pass band's gain, edited in place.

#include "core/document/window_bands.h"

#include <QAbstractTableModel>
#include <QVector>

#include <optional>

// A row of the table, and the four shapes a new design starts from, as the core keeps them.
using taplore::BandPreset;
using taplore::BandRow;

class BandModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kind, low, high, tolerance, gain, columns };

    explicit BandModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Numbers are read with "." whatever the locale; a text that is no number, or no gain above
    // 0, is refused, and editRefused says why. A stop band's gain is 0 and not edited.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const QVector<BandRow>& Bands() const { return m_bands; }
    void SetBands(QVector<BandRow> bands);
    void SetPreset(BandPreset preset, double rate);
    // A band after row (at the end for -1), of the other kind, in the middle third of the gap
    // up to the next band or half the rate, its edges rounded to what the rate resolves.
    void AddBand(int row, double rate);
    void RemoveBand(int row);

signals:
    // An edit that setData refused: "Band 2, To (Hz): "22050,5" is not a number; …".
    void editRefused(const QString& why);

private:
    QVector<BandRow> m_bands;
};

// A band as the settings keep it, "pass,0,1000,0.1", and back; nullopt for a text that is none.
QString BandSetting(const BandRow& band);
std::optional<BandRow> BandOfSetting(const QString& text);
