#include <QProcess>
#include <QtTest>

#include "DGlobalResource.h"
#include "DSingleton.h"

namespace {

int g_constructions = 0;

class CountedSingleton : public DSingleton<CountedSingleton>
{
    friend class DSingleton<CountedSingleton>;

    CountedSingleton() { ++g_constructions; }
    ~CountedSingleton() override {}
};

class OtherSingleton : public DSingleton<OtherSingleton>
{
    friend class DSingleton<OtherSingleton>;

    OtherSingleton() {}
    ~OtherSingleton() override {}
};

QList<DSingletonBase*> repositoryEntries()
{
    return DSingletonRepository::instance()->singletons();
}

} // namespace

class tst_DSingleton : public QObject
{
    Q_OBJECT

private slots:
    void secondInstanceCallReturnsSameObjectAndAppendsNothing();
    void newestSingletonIsAtTheFront();
    void repositoryThroughTemplateIsTheOneRepository();
    void repositoryIsNeverAppendedToItself();
    void appendInsertsAtTheFrontWithoutChecks();
    void programAndLibraryShareInstancesAndRepository();
    void exitDeletesNewestFirstAndSkipsNull();
};

void tst_DSingleton::secondInstanceCallReturnsSameObjectAndAppendsNothing()
{
    const int before = repositoryEntries().size();
    CountedSingleton* first = DSingleton<CountedSingleton>::instance();
    CountedSingleton* second = DSingleton<CountedSingleton>::instance();
    QVERIFY(first);
    QCOMPARE(second, first);
    QCOMPARE(g_constructions, 1);
    QCOMPARE(repositoryEntries().size(), before + 1);
    QCOMPARE(repositoryEntries().count(static_cast<DSingletonBase*>(first)), 1);
}

void tst_DSingleton::newestSingletonIsAtTheFront()
{
    DSingleton<CountedSingleton>::instance();
    OtherSingleton* other = DSingleton<OtherSingleton>::instance();
    const QList<DSingletonBase*> entries = repositoryEntries();
    QCOMPARE(entries.first(), static_cast<DSingletonBase*>(other));
    QVERIFY(entries.indexOf(DSingleton<CountedSingleton>::instance()) > 0);
}

void tst_DSingleton::repositoryThroughTemplateIsTheOneRepository()
{
    DSingletonRepository* direct = DSingletonRepository::instance();
    DSingletonRepository* throughTemplate = DSingleton<DSingletonRepository>::instance();
    QVERIFY(direct);
    QCOMPARE(throughTemplate, direct);
    QCOMPARE(DSingleton<DSingletonRepository>::instance(), direct);
}

void tst_DSingleton::repositoryIsNeverAppendedToItself()
{
    const int before = repositoryEntries().size();
    DSingleton<DSingletonRepository>::instance();
    DSingletonRepository::instance();
    QCOMPARE(repositoryEntries().size(), before);
    QVERIFY(!repositoryEntries().contains(DSingletonRepository::instance()));
}

void tst_DSingleton::appendInsertsAtTheFrontWithoutChecks()
{
    DSingletonRepository* repository = DSingletonRepository::instance();
    const int before = repository->singletons().size();
    // A null entry is allowed; the exit clean-up skips it.
    repository->append(nullptr);
    QCOMPARE(repository->singletons().size(), before + 1);
    QCOMPARE(repository->singletons().first(), static_cast<DSingletonBase*>(nullptr));
}

void tst_DSingleton::programAndLibraryShareInstancesAndRepository()
{
    // The library created the image store while it loaded; this executable
    // instantiates DSingleton<DGlobalResource> itself and must see that same
    // object, in that same repository.
    QVERIFY(g_pJustForInitialize);
    QCOMPARE(DSingleton<DGlobalResource>::instance(), g_pJustForInitialize);
    QVERIFY(repositoryEntries().contains(g_pJustForInitialize));
    // Singletons of this executable come before the library's.
    CountedSingleton* ours = DSingleton<CountedSingleton>::instance();
    QVERIFY(repositoryEntries().indexOf(ours) < repositoryEntries().indexOf(g_pJustForInitialize));
}

void tst_DSingleton::exitDeletesNewestFirstAndSkipsNull()
{
    QProcess probe;
    probe.start(QCoreApplication::applicationDirPath() + "/probe_singleton_exit", QStringList());
    QVERIFY2(probe.waitForFinished(30000), "the probe did not end");
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    const QStringList lines =
        QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    // C was created last and goes first; the program's singletons all go
    // while the library's image store still exists.
    const QStringList expected = {"main done", "deleted C store alive", "deleted B store alive",
                                  "deleted A store alive"};
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(tst_DSingleton)
#include "tst_DSingleton.moc"
