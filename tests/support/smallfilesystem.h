#pragma once

// A real filesystem of a few hundred kilobytes, mounted for one test (a tmpfs: the test must run as root),
// that can be filled to the last byte so that the writes after fail as on a full disk.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/mount.h>
#include <unistd.h>

namespace testing_support {

class SmallFilesystem {
public:
    explicit SmallFilesystem(int kilobytes = 512)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        m_mounted = ::geteuid() == 0 && m_dir.isValid()
            && ::mount("tessarin-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                   options.constData())
                == 0;
    }

    ~SmallFilesystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }

    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    // False where the test may not mount (not root, or in a container without the right): skip then.
    bool Mounted() const { return m_mounted; }
    QString Path() const { return m_dir.path(); }

    // Takes every free byte with one file, written until the filesystem refuses; false if it never did.
    bool Fill() const
    {
        QFile filler(QDir(m_dir.path()).filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        // Bounded: a filesystem bigger than a gigabyte is not one this class made.
        for (int i = 0; i < 262144; ++i) {
            if (filler.write(block) != block.size())
                return filler.write("x", 1) != 1;
        }
        return false;
    }

    // Gives the space back.
    void Empty() const { QFile::remove(QDir(m_dir.path()).filePath(QStringLiteral(".filler"))); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace testing_support
