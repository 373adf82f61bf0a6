// Runs the ClickHouse statements of docs/export.md (the three CREATE TABLE and the INSERT that
// loads each table from the export folder's compressed parts, with the Hive partition columns) in
// chDB, ClickHouse's engine as a library, and prints as one JSON object what the test holds
// against the tool's own figures and the rows' JSON: messages per switch and type, calls per
// switch and outcome, seizures and answers per switch and interval, each table's column types and
// every row of each table.
// Usage: node load-export-chdb.mjs EXPORT_DIR EXPORT_MD
import { Session } from 'chdb';
import fs from 'fs';

const [dir, doc] = process.argv.slice(2);
const text = fs.readFileSync(doc, 'utf8');
const section = text.slice(text.indexOf('## ClickHouse'));
const sql = [...section.matchAll(/```sql\n([\s\S]*?)```/g)].map((m) => m[1]).join('\n');
const statements = sql.split(/;\s*\n/).map((s) => s.replace(/^\s*--.*$/gm, '').trim()).filter((s) => s);
const creates = statements.filter((s) => s.startsWith('CREATE TABLE'));
const inserts = statements.filter((s) => s.startsWith('INSERT INTO'));
if (creates.length !== 3 || inserts.length !== 3) {
  console.error(`docs/export.md: expected 3 CREATE TABLE and 3 INSERT statements, found ${creates.length} and ${inserts.length}`);
  process.exit(1);
}

const session = new Session();
const rows = (query) =>
  session.query(`${query} SETTINGS output_format_json_quote_64bit_integers = 0`, 'JSONEachRow')
    .split('\n').filter((line) => line).map((line) => JSON.parse(line));
for (const statement of creates) session.query(statement);
for (const statement of inserts) session.query(statement.replaceAll('DIR', dir));

const result = {
  messages: rows('SELECT switch, type, count() AS n FROM messages GROUP BY ALL ORDER BY ALL'),
  calls: rows('SELECT switch, outcome, count() AS n FROM calls GROUP BY ALL ORDER BY ALL'),
  asr: rows('SELECT switch, toString(timestamp) AS interval_start, seizures, answered FROM kpi ORDER BY ALL'),
  types: Object.fromEntries(['messages', 'calls', 'kpi'].map((table) => [table, Object.fromEntries(
    rows(`SELECT name, type FROM system.columns WHERE database = currentDatabase() AND table = '${table}'`)
      .map((r) => [r.name, r.type]))])),
  rows: {
    messages: rows('SELECT * FROM messages ORDER BY switch, record'),
    calls: rows('SELECT * FROM calls ORDER BY switch, first_record'),
    kpi: rows('SELECT * FROM kpi ORDER BY switch, timestamp'),
  },
};
session.cleanup();
console.log(JSON.stringify(result));
