#include "gui/requirements/band_model.h"

#include "core/formats/crt.h"

namespace {

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
    case gain:
        return QString::fromStdString(taplore::RowGainText(band));
    }
    return {};
}

QVariant BandModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char* const titles[] = {"Band", "From (Hz)", "To (Hz)", "Ripple/atten. (dB)",
                                         "Gain"};
    return section >= 0 && section < columns ? QVariant(titles[section]) : QVariant();
}

Qt::ItemFlags BandModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == gain && !m_bands[index.row()].pass)
        return flags;
    return flags | Qt::ItemIsEditable;
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
            band = pass ? taplore::PassRow(band.lowHz, band.highHz)
                        : taplore::StopRow(band.lowHz, band.highHz);
    } else if (index.column() == gain) {
        if (!band.pass)
            return false;
        if (!taplore::ReadRowGain(text.toStdString(), band)) {
            emit editRefused(where + "\"" + text +
                             "\" is not a gain; a gain is a number above 0, or G1..G2 for a "
                             "line from the low edge to the high one, with \".\" as the "
                             "decimal point.");
            return false;
        }
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
    const std::vector<BandRow> bands = taplore::PresetBands(preset, rate);
    SetBands(QVector<BandRow>(bands.begin(), bands.end()));
}

void BandModel::AddBand(int row, double rate) {
    const taplore::AddedBand added =
        taplore::BandToAdd(std::vector<BandRow>(m_bands.begin(), m_bands.end()), row, rate);
    beginInsertRows({}, added.at, added.at);
    m_bands.insert(added.at, added.band);
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
    return QString::fromStdString(taplore::BandSettingText(band));
}

std::optional<BandRow> BandOfSetting(const QString& text) {
    return taplore::BandOfSettingText(text.toStdString());
}
