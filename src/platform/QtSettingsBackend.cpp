#include "platform/QtSettingsBackend.h"

#include "platform/QtText.h"
#include "store/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
// The seven settings live in section Lirabel3; a key with a slash ("Prets/delai") names
// a section of its own, so that newer features never mix with them.
QString keyPath(const std::string& key) {
    const QString name = QString::fromLatin1(key);
    return key.find('/') != std::string::npos ? name : QStringLiteral("Lirabel3/") + name;
}

std::string failure(const char* what, const std::string& key) {
    const std::size_t slash = key.find('/');
    const std::string group = slash == std::string::npos ? "Lirabel3" : key.substr(0, slash);
    const std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
    return std::string(what) + " la valeur « " + name + " » des réglages (wutfn\\" + group + ")";
}
} // namespace

QtSettingsBackend::QtSettingsBackend()
#ifdef Q_OS_WIN
    : settings_(std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\wutfn"),
                                            QSettings::NativeFormat))
#else
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("wutfn")))
#endif
{
}

QtSettingsBackend::QtSettingsBackend(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtSettingsBackend::~QtSettingsBackend() = default;

void QtSettingsBackend::openKey() {
    if (settings_->format() != QSettings::IniFormat) return;
    const QString path = settings_->fileName();
    if (QFileInfo::exists(path)) return;
    // Opening creates the key: an empty settings file.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw q7::SettingsError("Impossible de créer le fichier des réglages " +
                                path.toStdString());
}

std::optional<std::string> QtSettingsBackend::read(const std::string& key) {
    settings_->sync();
    const QVariant v = settings_->value(keyPath(key));
    if (!v.isValid()) return std::nullopt;
    // An INI line with commas comes back as a list: it is still the text typed.
    if (v.typeId() == QMetaType::QStringList) return toBytes(v.toStringList().join(u','));
    if (!v.canConvert<QString>()) throw q7::SettingsError(failure("Impossible de lire", key));
    return toBytes(v.toString());
}

void QtSettingsBackend::write(const std::string& key, const std::string& value) {
    settings_->setValue(keyPath(key), fromBytes(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError)
        throw q7::SettingsError(failure("Impossible d'écrire", key));
}
