// Loads an export folder of truno-decode into DuckDB and prints, as one JSON object, what the
// test holds against the tool's own figures: messages per switch and type, calls per switch and
// outcome, ASR per switch and interval, the rows per part file, and the type DuckDB gives each
// column.
// Usage: node query-export.mjs EXPORT_DIR
import { DuckDBInstance } from '@duckdb/node-api';

const dir = process.argv[2];
const db = await DuckDBInstance.create(':memory:');
const c = await db.connect();
const rows = async (sql) => (await c.runAndReadAll(sql)).getRowObjectsJson();
const source = (kind) =>
  `read_json_auto('${dir}/${kind}/*/*/*.jsonl.zst', hive_partitioning = true, format = 'newline_delimited')`;

const result = {
  messages: await rows(`select switch, type, count(*) as n from ${source('messages')} group by all order by all`),
  calls: await rows(`select switch, outcome, count(*) as n from ${source('calls')} group by all order by all`),
  asr: await rows(`select switch, strftime(timestamp, '%Y-%m-%d %H:%M:%S.%g') as interval_start, seizures,
                   answered, asr_percent from ${source('kpi')} order by all`),
  files: await rows(`select filename, count(*) as n
                     from read_json_auto('${dir}/messages/*/*/*.jsonl.zst', filename = true) group by all order by all`),
  schema: await rows(`select distinct schema_version from ${source('messages')}`),
  columns: Object.fromEntries(await Promise.all(['messages', 'calls', 'kpi'].map(async (kind) =>
    [kind, Object.fromEntries((await rows(`describe select * from ${source(kind)}`))
      .map((r) => [r.column_name, r.column_type]))]))),
};
console.log(JSON.stringify(result));
