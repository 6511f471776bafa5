<?php
// A second CardDAV and CalDAV server for the tests and the benchmark, on Debian's SabreDAV 1.8 and
// PHP's built-in web server: php -S 127.0.0.1:0 dav_server.php, with DAV_DB naming an SQLite file
// (made with its tables on the first request) and DAV_USER / DAV_PASSWORD the one account (HTTP
// Basic). The user's address book is /addressbooks/USER/contacts/, the calendar
// /calendars/USER/calendar/. Unlike radicale it has no sync-collection report and keeps its cards in
// an indexed table, so a client's ETag listing path is used and an upload costs the same whatever
// the address book holds.
date_default_timezone_set('UTC');
error_reporting(E_ALL & ~E_DEPRECATED & ~E_WARNING & ~E_NOTICE);
ini_set('display_errors', 'stderr');
require_once 'Sabre/autoload.php';

class OneUser extends \Sabre\DAV\Auth\Backend\AbstractBasic {
    protected function validateUserPass($user, $password) {
        return $user === getenv('DAV_USER') && $password === getenv('DAV_PASSWORD');
    }
}

// DAV_MAX_BODY: a request body longer than this many bytes is refused with 413 (0: no limit).
$maxBody = intval(getenv('DAV_MAX_BODY'));
if ($maxBody > 0 && intval($_SERVER['CONTENT_LENGTH'] ?? 0) > $maxBody) {
    http_response_code(413);
    exit;
}

$user = getenv('DAV_USER');
$pdo = new \PDO('sqlite:' . getenv('DAV_DB'));
$pdo->setAttribute(PDO::ATTR_ERRMODE, PDO::ERRMODE_EXCEPTION);
$pdo->exec('PRAGMA journal_mode = WAL');
if (!$pdo->query("SELECT name FROM sqlite_master WHERE name = 'cards'")->fetch()) {
    $pdo->exec('BEGIN');
    $pdo->exec('CREATE TABLE principals (id INTEGER PRIMARY KEY ASC, uri TEXT UNIQUE, email TEXT,
                displayname TEXT, vcardurl TEXT)');
    $pdo->exec('CREATE TABLE groupmembers (id INTEGER PRIMARY KEY ASC, principal_id INTEGER,
                member_id INTEGER, UNIQUE(principal_id, member_id))');
    $pdo->exec('CREATE TABLE addressbooks (id INTEGER PRIMARY KEY ASC, principaluri TEXT,
                displayname TEXT, uri TEXT, description TEXT, ctag INTEGER)');
    $pdo->exec('CREATE TABLE cards (id INTEGER PRIMARY KEY ASC, addressbookid INTEGER, carddata BLOB,
                uri TEXT, lastmodified INTEGER)');
    $pdo->exec('CREATE UNIQUE INDEX cards_by_uri ON cards (addressbookid, uri)');
    $pdo->exec('CREATE TABLE calendars (id INTEGER PRIMARY KEY ASC, principaluri TEXT, displayname TEXT,
                uri TEXT, ctag INTEGER, description TEXT, calendarorder INTEGER, calendarcolor TEXT,
                timezone TEXT, components TEXT, transparent BOOL)');
    $pdo->exec('CREATE TABLE calendarobjects (id INTEGER PRIMARY KEY ASC, calendardata BLOB, uri TEXT,
                calendarid INTEGER, lastmodified INTEGER, etag TEXT, size INTEGER, componenttype TEXT,
                firstoccurence INTEGER, lastoccurence INTEGER)');
    $pdo->exec('CREATE UNIQUE INDEX objects_by_uri ON calendarobjects (calendarid, uri)');
    $principal = 'principals/' . $user;
    $add = $pdo->prepare('INSERT INTO principals (uri, displayname) VALUES (?, ?)');
    $add->execute(array($principal, $user));
    $add->execute(array($principal . '/calendar-proxy-read', null));
    $add->execute(array($principal . '/calendar-proxy-write', null));
    $pdo->prepare("INSERT INTO addressbooks (principaluri, displayname, uri, description, ctag)
                   VALUES (?, 'Contacts', 'contacts', '', 1)")->execute(array($principal));
    $pdo->prepare("INSERT INTO calendars (principaluri, displayname, uri, ctag, components)
                   VALUES (?, 'Calendar', 'calendar', 1, 'VEVENT')")->execute(array($principal));
    $pdo->exec('COMMIT');
}

$principals = new \Sabre\DAVACL\PrincipalBackend\PDO($pdo);
$server = new \Sabre\DAV\Server(array(
    new \Sabre\CalDAV\Principal\Collection($principals),
    new \Sabre\CalDAV\CalendarRootNode($principals, new \Sabre\CalDAV\Backend\PDO($pdo)),
    new \Sabre\CardDAV\AddressBookRoot($principals, new \Sabre\CardDAV\Backend\PDO($pdo)),
));
$server->setBaseUri('/');
$server->addPlugin(new \Sabre\DAV\Auth\Plugin(new OneUser(), 'Vantrel test'));
$server->addPlugin(new \Sabre\CalDAV\Plugin());
$server->addPlugin(new \Sabre\CardDAV\Plugin());
$server->addPlugin(new \Sabre\DAVACL\Plugin());
$server->exec();
