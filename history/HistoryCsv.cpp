#include "history/HistoryCsv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kLinkHops = 40;        // links followed at most, as the system does
constexpr int kTemporaryNames = 100; // names tried beside the target

AnswerRow RowOf(const AnswerRecord& record) {
    AnswerRow row;
    row.atMs = std::to_string(record.atMs);
    row.mode = record.mode;
    row.played = record.played != 0 ? std::string(1, record.played) : "";
    row.typed = record.typed != 0 ? std::string(1, record.typed) : "";
    row.responseMs = record.responseMs >= 0 ? std::to_string(record.responseMs) : "";
    return row;
}

void AppendRow(std::string& out, const AnswerRow& row) {
    out += HistoryCsv::Field(row.atMs);
    out += ',';
    out += HistoryCsv::Field(row.mode);
    out += ',';
    out += HistoryCsv::Field(row.played);
    out += ',';
    out += HistoryCsv::Field(row.typed);
    out += ',';
    out += HistoryCsv::Field(row.responseMs);
    out += "\r\n";
}

std::string Quoted(const fs::path& path) {
    return "« " + path.string() + " »";
}

std::string WriteError(const fs::path& path, int errorNumber) {
    if (errorNumber == ENOSPC
#ifdef EDQUOT
        || errorNumber == EDQUOT
#endif
    ) {
        return "Le disque est plein : le fichier " + Quoted(path) + " n'a pas été écrit.";
    }
    return "Impossible d'écrire le fichier " + Quoted(path) + " : " + std::strerror(errorNumber);
}

// The file that path stands for: path itself, or the end of its chain of symbolic links.
bool ResolveTarget(const fs::path& path, fs::path& target, std::string& error) {
    target = path;
    std::error_code code;
    for (int hop = 0; fs::is_symlink(fs::symlink_status(target, code)); ++hop) {
        const fs::path next = fs::read_symlink(target, code);
        if (code || hop == kLinkHops) {
            error = "Le lien " + Quoted(path) + " ne mène à aucun fichier : rien n'a été écrit.";
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    const fs::file_status status = fs::status(target, code);
    if (fs::is_regular_file(status) || status.type() == fs::file_type::not_found) {
        return true;
    }
    error = Quoted(path) + " n'est pas un fichier ordinaire (dossier, périphérique ou tube) : rien n'y a été écrit.";
    return false;
}

// A new file beside target, under a name that nothing has: it is created, never opened through
// a link or over another file.
int CreateBeside(const fs::path& target, fs::path& temporary) {
    int fd = -1;
    errno = 0;
    for (int i = 0; i < kTemporaryNames && fd < 0; ++i) {
        temporary = target;
        temporary += i == 0 ? ".part" : ".part" + std::to_string(i);
#ifdef _WIN32
        fd = _wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    return fd;
}

// Writes every byte and has them on the disk before the close; 0 or the errno of the failure.
int WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
#ifdef _WIN32
        const int written = _write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
#else
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
#endif
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : ENOSPC;
        }
        done += static_cast<size_t>(written);
    }
#ifdef _WIN32
    return _commit(fd) == 0 ? 0 : errno;
#else
    return ::fsync(fd) == 0 ? 0 : errno;
#endif
}

int CloseFile(int fd) {
#ifdef _WIN32
    return _close(fd) == 0 ? 0 : errno;
#else
    return ::close(fd) == 0 ? 0 : errno;
#endif
}

// A file that replaces another keeps its permissions.
void KeepPermissions(const fs::path& from, const fs::path& to) {
    std::error_code code;
    const fs::file_status old = fs::status(from, code);
    if (!code && fs::is_regular_file(old)) {
        fs::permissions(to, old.permissions(), code);
    }
}

} // namespace

std::string HistoryCsv::Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

std::string HistoryCsv::FormatRows(const std::vector<AnswerRow>& rows) {
    std::string out = kHeader;
    out += "\r\n";
    out.reserve(out.size() + rows.size() * 32);
    for (const AnswerRow& row : rows) {
        AppendRow(out, row);
    }
    return out;
}

std::string HistoryCsv::Format(const std::vector<AnswerRecord>& records) {
    std::vector<AnswerRow> rows;
    rows.reserve(records.size());
    for (const AnswerRecord& record : records) {
        rows.push_back(RowOf(record));
    }
    return FormatRows(rows);
}

bool HistoryCsv::Write(const std::string& path, const std::vector<AnswerRecord>& records, std::string& error) {
    std::vector<AnswerRow> rows;
    rows.reserve(records.size());
    for (const AnswerRecord& record : records) {
        rows.push_back(RowOf(record));
    }
    return WriteRows(path, rows, error);
}

bool HistoryCsv::WriteRows(const std::string& path, const std::vector<AnswerRow>& rows, std::string& error) {
    fs::path target;
    if (!ResolveTarget(fs::path(path), target, error)) {
        return false;
    }
    fs::path temporary;
    const int fd = CreateBeside(target, temporary);
    if (fd < 0) {
        error = "Impossible de créer le fichier " + Quoted(target) + " : " + std::strerror(errno);
        return false;
    }
    int failure = WriteAll(fd, FormatRows(rows));
    const int closeFailure = CloseFile(fd);
    failure = failure != 0 ? failure : closeFailure;
    std::error_code code;
    if (failure != 0) {
        error = WriteError(target, failure);
        fs::remove(temporary, code);
        return false;
    }
    KeepPermissions(target, temporary);
    fs::rename(temporary, target, code);
    if (code) {
        error = "Impossible de remplacer le fichier " + Quoted(target) + " : " + code.message();
        fs::remove(temporary, code);
        return false;
    }
    return true;
}
