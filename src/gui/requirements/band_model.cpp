#include "gui/requirements/band_model.h"

#include "core/dialog/readings.h"
#include "core/formats/crt.h"

#include <array>

namespace {

constexpr double kPassRippleDb = 0.1;
constexpr double kStopAttenuationDb = 60.0;

BandRow Pass(double low, double high) {
    return {true, low, high, kPassRippleDb};
}

BandRow Stop(double low, double high) {
    return {false, low, high, kStopAttenuationDb};
}

QString NumberText(double value) {
    return QString::fromStdString(crt::FormatShortest(value));
}

bool IsKind(const QString& text, const char* kind) {
    return text.compare(kind, Qt::CaseInsensitive) == 0;
}

} // namespace

BandModel::BandModel(QObject* parent) : QAbstractTableModel(parent) {}

int BandModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_bands.size());
}

int BandModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns;
}

QVariant BandModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const BandRow& band = m_bands[index.row()];
    switch (index.column()) {
    case kind:
        return band.pass ? QStringLiteral("pass") : QStringLiteral("stop");
    case low:
        return NumberText(band.lowHz);
    case high:
        return NumberText(band.highHz);
    case tolerance:
        return NumberText(band.toleranceDb);
    }
    return {};
}

QVariant BandModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char* const titles[] = {"Band", "From (Hz)", "To (Hz)", "Ripple/atten. (dB)"};
    return section >= 0 && section < columns ? QVariant(titles[section]) : QVariant();
}

Qt::ItemFlags BandModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool BandModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    BandRow& band = m_bands[index.row()];
    const QString text = value.toString().trimmed();
    const QString where = QString("Band %1, %2: ")
                              .arg(index.row() + 1)
                              .arg(headerData(index.column(), Qt::Horizontal).toString());
    if (index.column() == kind) {
        if (!IsKind(text, "pass") && !IsKind(text, "stop")) {
            emit editRefused(where + "the kind is pass or stop, not \"" + text + "\".");
            return false;
        }
        const bool pass = IsKind(text, "pass");
        // A band that changes kind asks for its kind's usual tolerance.
        if (pass != band.pass)
            band = pass ? Pass(band.lowHz, band.highHz) : Stop(band.lowHz, band.highHz);
    } else {
        const auto number = crt::StrictAtof(text.toStdString());
        if (!number) {
            emit editRefused(where + "\"" + text +
                             "\" is not a number; numbers take \".\" as the decimal point.");
            return false;
        }
        double& field = index.column() == low    ? band.lowHz
                        : index.column() == high ? band.highHz
                                                 : band.toleranceDb;
        field = *number;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columns - 1));
    return true;
}

void BandModel::SetBands(QVector<BandRow> bands) {
    beginResetModel();
    m_bands = std::move(bands);
    endResetModel();
}

void BandModel::SetPreset(BandPreset preset, double rate) {
    const double r = rate / 16; // the presets' edges are sixteenths of the rate
    switch (preset) {
    case BandPreset::lowPass:
        SetBands({Pass(0, 2 * r), Stop(3 * r, 8 * r)});
        break;
    case BandPreset::highPass:
        SetBands({Stop(0, 5 * r), Pass(6 * r, 8 * r)});
        break;
    case BandPreset::bandPass:
        SetBands({Stop(0, r), Pass(2 * r, 4 * r), Stop(5 * r, 8 * r)});
        break;
    case BandPreset::bandStop:
        SetBands({Pass(0, r), Stop(2 * r, 4 * r), Pass(5 * r, 8 * r)});
        break;
    }
}

void BandModel::AddBand(int row, double rate) {
    const int at = row < 0 || row >= m_bands.size() ? static_cast<int>(m_bands.size()) : row + 1;
    const double gapLow = at > 0 ? m_bands[at - 1].highHz : 0.0;
    const double gapHigh = at < m_bands.size() ? m_bands[at].lowHz : rate / 2;
    const double third = (gapHigh - gapLow) / 3;
    const taplore::Edges edges =
        taplore::RoundedEdges({gapLow + third, gapHigh - third}, {gapLow, gapHigh}, rate);
    // The other kind than the band before, so that a low-pass grows into a band-stop.
    const bool pass = at > 0 && !m_bands[at - 1].pass;
    const BandRow added = pass ? Pass(edges.low, edges.high) : Stop(edges.low, edges.high);
    beginInsertRows({}, at, at);
    m_bands.insert(at, added);
    endInsertRows();
}

void BandModel::RemoveBand(int row) {
    if (row < 0 || row >= m_bands.size())
        return;
    beginRemoveRows({}, row, row);
    m_bands.remove(row);
    endRemoveRows();
}

QString BandSetting(const BandRow& band) {
    return QString("%1,%2,%3,%4")
        .arg(band.pass ? "pass" : "stop")
        .arg(NumberText(band.lowHz))
        .arg(NumberText(band.highHz))
        .arg(NumberText(band.toleranceDb));
}

std::optional<BandRow> BandOfSetting(const QString& text) {
    const QStringList fields = text.split(',');
    if (fields.size() != 4)
        return std::nullopt;
    std::array<double, 3> numbers{};
    for (int i = 0; i < 3; ++i) {
        const auto number = crt::StrictAtof(fields[i + 1].toStdString());
        if (!number)
            return std::nullopt;
        numbers[i] = *number;
    }
    return BandRow{fields[0] == "pass", numbers[0], numbers[1], numbers[2]};
}
